#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QSize>
#include <QString>

#include "codecs/frame_source.h"
#include "platform/worker_inbox.h"
#include "viewing/frame_player.h"

// The frames of the moving picture the viewer shows, decoded on a thread of their own a few ahead
// of the one on screen and handed to the UI thread as values.
namespace pimrose {

struct FramePlayback {
  quint64 id = 0;  // the viewer's count of playbacks
  QString path;
  QSize target;  // device pixels each frame is scaled to (the still picture's decode size)
};

// How many frames are decoded ahead of the one shown: eight, fewer when they are large, so the
// frames held stay under about 128 MB; never fewer than two, so a slow frame does not stall.
int framesAhead(QSize target);

using FrameSourceOpener = std::function<std::unique_ptr<FrameSource>(const QString& path)>;

class FrameStreamer {
 public:
  using Arrived = std::function<void(const PlayedFrame& frame)>;

  // `arrived` runs on the constructing (UI) thread for every frame, in order; after the last frame
  // of the last pass a frame with a null image says that the animation is over.
  explicit FrameStreamer(Arrived arrived, FrameSourceOpener open = defaultOpener());
  // The frame being decoded finishes; nothing arrives afterwards.
  ~FrameStreamer() = default;

  // Plays `playback` from its first frame; the one before stops and its frames are never decoded.
  void play(const FramePlayback& playback);
  void stop();
  // `count` frames of playback `id` have left the player's queue: as many more may be decoded.
  void release(quint64 id, int count);

  static FrameSourceOpener defaultOpener();

 private:
  // Touched by the worker thread only, once handed over.
  struct Playing {
    FramePlayback request;
    std::unique_ptr<FrameSource> source;
    bool opened = false;
    int passes = 0;
    int framesThisPass = 0;
    bool over = false;
  };
  // One playback at a time; it runs while it has credit (frames it may still decode ahead).
  struct Line {
    using Job = std::shared_ptr<Playing>;
    std::shared_ptr<Playing> current;
    int credit = 0;
    std::optional<Job> take();
    void finished(const Job&) {}
    void stop() { current.reset(); }
  };

  PlayedFrame next(Playing& playing);

  FrameSourceOpener open_;
  Arrived arrived_;
  Worker<Line, PlayedFrame> worker_;
};

}  // namespace pimrose
