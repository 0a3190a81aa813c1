#pragma once

#include <functional>
#include <vector>

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "viewing/frame_player.h"
#include "viewing/frame_streamer.h"
#include "viewing/viewer_decoder.h"

namespace pimrose {

namespace ui {
class Control;
class IconList;
class PictureBox;
}  // namespace ui

// The list the viewer steps through: the icon list that is shown and its paths.
struct ViewerList {
  ui::IconList* icons = nullptr;
  QStringList paths;
};

// The built-in viewer: a picture box inside a frame on a panel over the browser page.
//
// Opening shows the picture fitted to the frame; the picture is decoded off the UI thread at the
// size the box needs and its neighbours in the list are decoded ahead, so stepping shows them
// at once. Gestures on the picture box: left drag pans (nothing clamps), double-click toggles
// fit and natural size, right click or Escape closes, the wheel steps (down = next) without
// wrapping; Left/PageUp and Right/PageDown step too, Home and End go to the ends. F11 shows the
// viewer full screen (the window goes full screen and the panel covers it) and back; Escape
// leaves full screen before it closes, and closing leaves it too.
//
// A moving picture (an animated GIF or WebP) plays once its first frame is shown: its frames are
// decoded a few ahead on a thread of their own at the size of the still picture, and shown here at
// their time by a timer. Stepping away, closing, a new size or a hidden panel stops it; frames of
// a stopped playback are dropped when they arrive.
class Viewer : public QObject {
  Q_OBJECT

 public:
  struct Parts {
    ui::Control* panel = nullptr;     // shown while the viewer is open
    ui::PictureBox* frame = nullptr;  // the box moves inside it
    ui::PictureBox* box = nullptr;    // shows the picture
    std::function<ViewerList()> shownList;
    std::function<void(int index)> showDetails;  // the details line of an item of the shown list
  };

  explicit Viewer(Parts parts, ViewerDecodeWork work = decodeForViewer, QObject* parent = nullptr,
                  FrameSourceOpener frames = FrameStreamer::defaultOpener());
  ~Viewer() override;

  // Opens item `index` of the shown list, fitted to the frame.
  void open(int index);
  void close();
  bool isOpen() const;
  // Fit <-> natural size (only a picture larger than the frame changes anything).
  void toggleSize();
  // A wheel step: delta < 0 shows the next item, otherwise the previous one.
  void step(int delta);
  // Shows item `index` (clamped to the list) in the box as it stands.
  void goTo(int index);
  void toggleFullScreen();
  bool isFullScreen() const { return fullScreen_; }

  int shownIndex() const { return index_; }
  // Whether item `index` of the list is decoded for the box as it stands, so a step there shows
  // it at once.
  bool isDecodedAhead(int index) const;
  // The upright pixel size of the shown picture once decoded (0 x 0 when it does not decode).
  QSize pictureSize() const { return pictureSize_; }
  // Whether a moving picture is playing (its frames still change).
  bool isPlaying() const { return playing_; }

 Q_SIGNALS:
  // The picture of `index` is in the box (decoded or empty because it does not decode).
  void pictureShown(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void connectGestures();
  bool onKey(int key);
  void onFrameResized(QSize oldSize);
  void enterFullScreen();
  void leaveFullScreen();
  void giveFocusBack();
  void showItem(const ViewerList& list, int index);
  void requestShown();
  void prefetchNeighbours();
  void onDecoded(const DecodedView& result);
  void display(const DecodedView& result);
  const DecodedView* cached(const ViewerRequest& request) const;
  void remember(const DecodedView& result);
  void forgetSession();
  void startPlaying(const DecodedView& result);
  void stopPlaying();
  void onFrame(const PlayedFrame& frame);
  void showDueFrame();
  ViewerRequest requestFor(const QString& path) const;

  Parts parts_;
  ViewerDecoder decoder_;
  quint64 generation_ = 0;
  int index_ = -1;
  QStringList paths_;     // the list as it was when the item was shown
  ViewerRequest wanted_;  // what the box should show
  QSize pictureSize_;
  std::vector<DecodedView> cache_;  // the shown picture and its neighbours, newest last
  bool fullScreen_ = false;
  Qt::WindowStates windowStateBefore_;  // what leaving full screen gives the window back
  QSize minimumSizeBefore_;
  QPointer<QWidget> focusBefore_;  // where the keyboard was when the viewer opened
  FrameStreamer streamer_;
  FramePlayer player_;
  QTimer frameTimer_;
  QElapsedTimer clock_;
  quint64 playback_ = 0;
  bool playing_ = false;
  int framesShown_ = 0;
};

}  // namespace pimrose
