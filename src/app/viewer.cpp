#include "app/viewer.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include "app/app_log.h"
#include "ui/icon_list.h"
#include "ui/picture_box.h"
#include "ui/window.h"
#include "viewing/viewer_placement.h"

namespace pimrose {
namespace {

// The shown picture and both neighbours, plus one more so a toggle back finds its old size; at
// natural size of very large pictures fewer, so the viewer never holds more than about 480 MB.
constexpr size_t kCachedPictures = 4;
constexpr qint64 kCachedPixels = 120'000'000;

qint64 pixelsOf(const DecodedView& entry) {
  return qint64(entry.image.width()) * entry.image.height();
}

}  // namespace

Viewer::Viewer(Parts parts, ViewerDecodeWork work, QObject* parent, FrameSourceOpener frames)
    : QObject(parent),
      parts_(std::move(parts)),
      decoder_(std::move(work)),
      streamer_([this](const PlayedFrame& frame) { onFrame(frame); }, std::move(frames)) {
  frameTimer_.setSingleShot(true);
  frameTimer_.setTimerType(Qt::PreciseTimer);
  connect(&frameTimer_, &QTimer::timeout, this, &Viewer::showDueFrame);
  clock_.start();
  parts_.box->setFocusPolicy(Qt::StrongFocus);
  parts_.box->installEventFilter(this);
  parts_.panel->installEventFilter(this);
  parts_.frame->installEventFilter(this);
  connect(&decoder_, &ViewerDecoder::decoded, this, &Viewer::onDecoded);
  connectGestures();
}

Viewer::~Viewer() = default;

void Viewer::connectGestures() {
  ui::PictureBox* box = parts_.box;
  connect(box, &ui::PictureBox::leftPressed, box, &ui::Control::startMove);
  connect(box, &ui::PictureBox::rightPressed, this, &Viewer::close);
  connect(box, &ui::PictureBox::sizeToggleGesture, this, &Viewer::toggleSize);
  connect(box, &ui::PictureBox::wheelStep, this, &Viewer::step);
  // A box smaller than the frame leaves bare frame around it; the wheel works there too.
  connect(parts_.frame, &ui::PictureBox::wheelStep, this, &Viewer::step);
}

void Viewer::open(int index) {
  const ViewerList list = parts_.shownList();
  if (index < 0 || index >= list.paths.size()) return;
  forgetSession();
  pictureSize_ = QSize();
  parts_.box->setImage(QImage());
  parts_.panel->show();
  parts_.box->setGeometry(QRect(QPoint(0, 0), parts_.frame->size()));
  QWidget* focused = QApplication::focusWidget();
  if (focused && !parts_.panel->isAncestorOf(focused)) focusBefore_ = focused;
  parts_.box->setFocus(Qt::OtherFocusReason);
  if (list.icons) list.icons->setCurrentIndex(index);
  qCInfo(lcApp) << "viewer opens item" << index;
  showItem(list, index);
}

void Viewer::close() {
  if (isOpen()) qCInfo(lcApp) << "viewer closed";
  parts_.panel->hide();
}

bool Viewer::isOpen() const {
  return !parts_.panel->isHidden();
}

void Viewer::toggleSize() {
  if (!isOpen() || wanted_.path.isEmpty()) return;
  const QRect now = parts_.box->geometry();
  const QRect next = toggledBox(now, parts_.frame->size(), pictureSize_);
  if (next == now) return;
  parts_.box->setGeometry(next);
  // Until the pixels for the new size arrive the box stretches the ones it has.
  wanted_ = requestFor(wanted_.path);
  requestShown();
}

void Viewer::step(int delta) {
  const ViewerList list = parts_.shownList();
  if (!isOpen() || !list.icons) return;
  goTo(wheelStepTarget(list.icons->currentIndex(), int(list.paths.size()), delta));
}

void Viewer::goTo(int index) {
  const ViewerList list = parts_.shownList();
  if (!isOpen() || !list.icons || list.paths.isEmpty()) return;
  list.icons->setCurrentIndex(std::clamp(index, 0, int(list.paths.size()) - 1));
  const int shown = list.icons->currentIndex();
  if (shown < 0) return;
  showItem(list, shown);
  if (parts_.showDetails) parts_.showDetails(shown);
  list.icons->guaranteeVisible(shown);
}

// Escape, F11, arrows, page keys, Home and End, as picture viewers have them.
bool Viewer::onKey(int key) {
  switch (key) {
    case Qt::Key_Escape:
      fullScreen_ ? leaveFullScreen() : close();
      return true;
    case Qt::Key_F11:
      toggleFullScreen();
      return true;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
      step(1);
      return true;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
      step(-1);
      return true;
    case Qt::Key_Home:
      goTo(0);
      return true;
    case Qt::Key_End:
      goTo(int(paths_.size()) - 1);
      return true;
    default:
      return false;
  }
}

bool Viewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parts_.box && event->type() == QEvent::KeyPress)
    return onKey(static_cast<QKeyEvent*>(event)->key());
  // Whoever hides the panel (the return button, a new drop, the settings page) ends the session
  // and full screen; a window that is only minimised keeps them.
  if (watched == parts_.panel && event->type() == QEvent::Hide && parts_.panel->isHidden()) {
    leaveFullScreen();
    forgetSession();
    giveFocusBack();
  }
  // A window hidden (into the tray, or by the window system) pauses a moving picture: its frames are decoded
  // only as far ahead as the ring allows, then nothing runs until the window shows again.
  if (watched == parts_.panel && event->type() == QEvent::Hide && !parts_.panel->isHidden())
    frameTimer_.stop();
  if (watched == parts_.panel && event->type() == QEvent::Show && playing_) showDueFrame();
  if (watched == parts_.frame && event->type() == QEvent::Resize)
    onFrameResized(static_cast<QResizeEvent*>(event)->oldSize());
  return QObject::eventFilter(watched, event);
}

// The keyboard goes back where it was when the viewer opened (the thumbnails, as a rule), so
// the arrows and Enter go on from the picture just seen.
void Viewer::giveFocusBack() {
  if (focusBefore_ && focusBefore_->isVisible()) focusBefore_->setFocus(Qt::OtherFocusReason);
  focusBefore_ = nullptr;
}

void Viewer::toggleFullScreen() {
  fullScreen_ ? leaveFullScreen() : enterFullScreen();
}

// The window's least size is lifted meanwhile: a screen may be smaller than it.
void Viewer::enterFullScreen() {
  auto* window = qobject_cast<ui::Window*>(parts_.panel->window());
  if (fullScreen_ || !isOpen() || !window) return;
  fullScreen_ = true;
  windowStateBefore_ = window->windowState() & ~Qt::WindowActive;
  minimumSizeBefore_ = window->minimumSize();
  window->setMinimumSize(0, 0);
  window->setCoveringControl(parts_.panel);
  parts_.panel->raise();
  window->setWindowState(windowStateBefore_ | Qt::WindowFullScreen);
  qCInfo(lcApp) << "viewer full screen";
}

void Viewer::leaveFullScreen() {
  auto* window = qobject_cast<ui::Window*>(parts_.panel->window());
  if (!fullScreen_ || !window) return;
  fullScreen_ = false;
  window->setWindowState(windowStateBefore_);
  window->setMinimumSize(minimumSizeBefore_);
  window->setCoveringControl(nullptr);
  qCInfo(lcApp) << "viewer back in the window";
}

// A fitted picture stays fitted when the window changes size; a panned or natural one stays put.
void Viewer::onFrameResized(QSize oldSize) {
  if (!isOpen() || wanted_.path.isEmpty() || parts_.box->geometry() != QRect(QPoint(0, 0), oldSize)) return;
  parts_.box->setGeometry(QRect(QPoint(0, 0), parts_.frame->size()));
  wanted_ = requestFor(wanted_.path);
  requestShown();
}

void Viewer::showItem(const ViewerList& list, int index) {
  stopPlaying();
  index_ = index;
  paths_ = list.paths;
  wanted_ = requestFor(paths_[index]);
  requestShown();
}

void Viewer::requestShown() {
  if (const DecodedView* hit = cached(wanted_)) return display(*hit);
  // Neighbours of the picture left behind are no longer worth their time.
  decoder_.dropWaiting();
  decoder_.request(wanted_, true);
}

void Viewer::prefetchNeighbours() {
  for (int neighbour : {index_ + 1, index_ - 1}) {
    if (neighbour < 0 || neighbour >= paths_.size()) continue;
    const ViewerRequest request = requestFor(paths_[neighbour]);
    if (!cached(request)) decoder_.request(request, false);
  }
}

void Viewer::onDecoded(const DecodedView& result) {
  if (result.request.generation != generation_) return;
  remember(result);
  if (result.request == wanted_) display(result);
}

void Viewer::display(const DecodedView& result) {
  qCDebug(lcApp) << "viewer shows item" << index_ << "picture" << result.pictureSize << "image"
                 << result.image.size();
  stopPlaying();
  parts_.box->setImage(result.image);
  pictureSize_ = result.pictureSize;
  if (result.moving) startPlaying(result);
  Q_EMIT pictureShown(index_);
  qCDebug(lcApp) << "viewer shows item" << index_;
  // The neighbours are asked for once this picture has been painted, so their decode does not
  // take the core the step's own frame needs.
  QTimer::singleShot(0, this, [this, generation = generation_] {
    if (generation == generation_) prefetchNeighbours();
  });
}

bool Viewer::isDecodedAhead(int index) const {
  return index >= 0 && index < paths_.size() && cached(requestFor(paths_[index]));
}

const DecodedView* Viewer::cached(const ViewerRequest& request) const {
  for (const DecodedView& entry : cache_)
    if (entry.request == request) return &entry;
  return nullptr;
}

void Viewer::remember(const DecodedView& result) {
  if (cached(result.request)) return;
  cache_.push_back(result);
  qint64 pixels = 0;
  for (const DecodedView& entry : cache_) pixels += pixelsOf(entry);
  while (cache_.size() > 1 && (cache_.size() > kCachedPictures || pixels > kCachedPixels)) {
    pixels -= pixelsOf(cache_.front());
    cache_.erase(cache_.begin());
  }
}

void Viewer::forgetSession() {
  stopPlaying();
  ++generation_;
  cache_.clear();
  wanted_ = {};
  index_ = -1;
  decoder_.dropWaiting();
}

// The frames come at the size the still picture was decoded at; the first replaces the still one.
void Viewer::startPlaying(const DecodedView& result) {
  playing_ = true;
  framesShown_ = 0;
  streamer_.play({playback_, result.request.path, decodeTarget(result.pictureSize, result.request.box)});
  qCDebug(lcApp) << "viewer plays item" << index_;
}

void Viewer::stopPlaying() {
  ++playback_;
  if (playing_) streamer_.stop();
  playing_ = false;
  player_.reset();
  frameTimer_.stop();
}

void Viewer::onFrame(const PlayedFrame& frame) {
  if (frame.playback != playback_) return;
  player_.add(frame);
  if (!frameTimer_.isActive() && parts_.panel->isVisible()) showDueFrame();
}

void Viewer::showDueFrame() {
  if (!parts_.panel->isVisible()) return;
  const qint64 now = clock_.elapsed();
  FramePlayer::Step step = player_.advance(now);
  if (!step.show.isNull()) {
    parts_.box->setImage(step.show);
    qCDebug(lcApp) << "viewer plays frame" << ++framesShown_ << "of item" << index_;
  }
  if (step.taken > 0) streamer_.release(playback_, step.taken);
  if (player_.over()) {
    playing_ = false;
    qCDebug(lcApp) << "viewer played item" << index_ << "to its end";
  }
  if (step.wakeAtMs) frameTimer_.start(int(std::max<qint64>(0, *step.wakeAtMs - now)));
}

ViewerRequest Viewer::requestFor(const QString& path) const {
  return {generation_, path, parts_.box->size() * parts_.box->devicePixelRatio()};
}

}  // namespace pimrose
