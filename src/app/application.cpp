#include "app/application.h"

#include <QApplication>

namespace pimrose {

int runApplication(int argc, char* argv[]) {
  QApplication app(argc, argv);
  return 0;
}

}  // namespace pimrose
