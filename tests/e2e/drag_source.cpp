// A window that starts a drag of the local paths given on its command line when the left button is
// pressed on it, as a file manager does. Usage: pimrose_drag_source [--one-each] PATH...
// With --one-each every drag carries only the next path of the list, in turn; with --list FILE the
// paths are the lines of FILE (a selection of 100,000 files does not fit on a command line). It
// prints "drag source ready" once it has been painted, i.e. the X server shows it and a press on it
// reaches it.
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <cstdio>
#include <utility>

namespace {

class DragSource : public QLabel {
 public:
  DragSource(QStringList paths, bool oneEach)
      : QLabel(QStringLiteral("drag source")), paths_(std::move(paths)), oneEach_(oneEach) {
    setWindowTitle(QStringLiteral("Pimrose test drag source"));
    resize(240, 160);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QLabel::paintEvent(event);
    if (std::exchange(announced_, true)) return;
    std::printf("drag source ready\n");
    std::fflush(stdout);
  }

  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    if (oneEach_)
      urls << QUrl::fromLocalFile(paths_[drags_++ % paths_.size()]);
    else
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
  bool oneEach_ = false;
  qsizetype drags_ = 0;
  bool announced_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const bool oneEach = argc > 1 && QByteArrayView(argv[1]) == "--one-each";
  QStringList paths;
  if (argc == 3 && QByteArrayView(argv[1]) == "--list") {
    QFile list(QString::fromLocal8Bit(argv[2]));
    if (!list.open(QIODevice::ReadOnly)) return 2;
    for (const QByteArray& line : list.readAll().split('\n'))
      if (!line.isEmpty()) paths << QString::fromLocal8Bit(line);
  } else {
    for (int i = oneEach ? 2 : 1; i < argc; ++i) paths << QString::fromLocal8Bit(argv[i]);
  }
  if (paths.isEmpty()) return 2;
  DragSource source(paths, oneEach);
  source.move(1300, 700);
  source.show();
  return QApplication::exec();
}
