#include "viewing/frame_streamer.h"

#include <algorithm>

#include "viewing/viewer_decoder.h"

namespace pimrose {
namespace {

constexpr qint64 kHeldFramePixels = 32'000'000;  // 128 MB of frames waiting to be shown
constexpr int kMostFramesAhead = 8;
constexpr int kFewestFramesAhead = 2;

}  // namespace

int framesAhead(QSize target) {
  const qint64 pixels = std::max<qint64>(1, qint64(target.width()) * target.height());
  return int(std::clamp<qint64>(kHeldFramePixels / pixels, kFewestFramesAhead, kMostFramesAhead));
}

FrameSourceOpener FrameStreamer::defaultOpener() {
  return [](const QString& path) { return openFrameSource(path); };
}

std::optional<FrameStreamer::Line::Job> FrameStreamer::Line::take() {
  if (!current || current->over || credit <= 0) return std::nullopt;
  --credit;
  return current;
}

FrameStreamer::FrameStreamer(Arrived arrived, FrameSourceOpener open)
    : open_(std::move(open)),
      arrived_(std::move(arrived)),
      worker_([this](std::shared_ptr<Playing>& playing) { return next(*playing); },
              [this](std::vector<PlayedFrame>& frames) {
                for (const PlayedFrame& frame : frames) arrived_(frame);
              }) {}

void FrameStreamer::play(const FramePlayback& playback) {
  auto playing = std::make_shared<Playing>();
  playing->request = playback;
  worker_.change([&](Line& line) {
    line.current = std::move(playing);
    line.credit = framesAhead(playback.target);
  });
}

void FrameStreamer::stop() {
  worker_.change([](Line& line) {
    line.current.reset();
    line.credit = 0;
  });
}

void FrameStreamer::release(quint64 id, int count) {
  worker_.change([&](Line& line) {
    if (line.current && line.current->request.id == id) line.credit += count;
  });
}

// The next frame to show, scaled; at the end of a pass the source starts again while the file asks
// for more passes. A pass of fewer than two frames (a file damaged after its first) ends the play.
PlayedFrame FrameStreamer::next(Playing& playing) {
  PlayedFrame played{playing.request.id, {}, 0};
  if (!playing.opened) {
    playing.opened = true;
    playing.source = open_(playing.request.path);
  }
  while (playing.source) {
    if (const std::optional<SourceFrame> frame = playing.source->next()) {
      ++playing.framesThisPass;
      played.image = fittedToTarget(frame->image, playing.request.target);
      // The source draws the next frame on the canvas it lent: the frame handed over owns its pixels.
      if (played.image.constBits() == frame->image.constBits()) played.image = frame->image.copy();
      played.delayMs = frame->delayMs;
      return played;
    }
    ++playing.passes;
    const int plays = playing.source->plays();
    if (playing.framesThisPass < 2 || (plays != 0 && playing.passes >= plays) || !playing.source->rewind())
      playing.source.reset();
    playing.framesThisPass = 0;
  }
  playing.over = true;
  return played;
}

}  // namespace pimrose
