// A window that takes drops of files, as another program would, and prints what arrived:
//   "enter formats=<mime types>" on drag enter, "uri=<line>" per line of the uri-list and
//   "png bytes=<n>" for the picture, on drop, and "drop target ready" once it has been painted.
// Usage: pimrose_drop_target
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>

#include <cstdio>
#include <utility>

namespace {

class DropTarget : public QLabel {
 public:
  DropTarget() : QLabel(QStringLiteral("drop target")) {
    setWindowTitle(QStringLiteral("Pimrose test drop target"));
    setAcceptDrops(true);
    resize(300, 200);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QLabel::paintEvent(event);
    if (std::exchange(announced_, true)) return;
    std::printf("drop target ready\n");
    std::fflush(stdout);
  }

  void dragEnterEvent(QDragEnterEvent* event) override {
    std::printf("enter formats=%s\n", qPrintable(event->mimeData()->formats().join(u' ')));
    std::fflush(stdout);
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list"))) event->acceptProposedAction();
  }
  void dropEvent(QDropEvent* event) override {
    const QByteArray uris = event->mimeData()->data(QStringLiteral("text/uri-list"));
    for (const QByteArray& line : uris.split('\n'))
      if (!line.trimmed().isEmpty()) std::printf("uri=%s\n", line.trimmed().constData());
    std::printf("png bytes=%lld\n",
                static_cast<long long>(event->mimeData()->data(QStringLiteral("image/png")).size()));
    std::fflush(stdout);
    event->acceptProposedAction();
  }

 private:
  bool announced_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  DropTarget target;
  target.move(1250, 100);
  target.show();
  return QApplication::exec();
}
