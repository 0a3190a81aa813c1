// The yardstick for start-up: a plain Qt Widgets program that shows one empty window of the main
// window's size and prints "painted" on standard error once the window has been painted.
//   pimrose-bench-empty-window
// bench/run times it from process start to that line, beside the program itself.

#include <cstdio>

#include <QApplication>
#include <QWidget>

#include "ui/main_window_metrics.h"

namespace {

class EmptyWindow : public QWidget {
 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    if (painted_) return;
    painted_ = true;
    std::fputs("painted\n", stderr);
    std::fflush(stderr);
  }

 private:
  bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (QByteArray(argv[i]) == "--help") {
      std::puts(
          "pimrose-bench-empty-window: shows one empty window of the main window size, prints \"painted\" on "
          "stderr");
      return 0;
    }
  }
  QApplication app(argc, argv);
  EmptyWindow window;
  window.resize(pimrose::ui::kMainWindowSize);
  window.show();
  return QApplication::exec();
}
