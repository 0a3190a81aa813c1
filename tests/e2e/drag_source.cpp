// A window that starts a drag of the local paths given on its command line when the left button is
// pressed on it, as a file manager does. Usage: pimrose_drag_source PATH...
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <cstdio>

namespace {

class DragSource : public QLabel {
 public:
  explicit DragSource(QStringList paths) : QLabel(QStringLiteral("drag source")), paths_(std::move(paths)) {
    setWindowTitle(QStringLiteral("Pimrose test drag source"));
    resize(240, 160);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths_) urls << QUrl::fromLocalFile(path);
    mime->setUrls(urls);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
    std::printf("drag finished action=%d\n", static_cast<int>(action));
    std::fflush(stdout);
  }

 private:
  QStringList paths_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList paths;
  for (int i = 1; i < argc; ++i) paths << QString::fromLocal8Bit(argv[i]);
  DragSource source(paths);
  source.move(1300, 700);
  source.show();
  return QApplication::exec();
}
