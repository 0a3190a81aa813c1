#include "app/application.h"

int main(int argc, char* argv[]) {
  return pimrose::runApplication(argc, argv);
}
