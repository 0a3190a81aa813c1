#include "codecs/webp_frames.h"

#include <QBuffer>
#include <QImageReader>

#include "codecs/colour_profile.h"
#include "codecs/decode_limits.h"
#include "codecs/plugin_decode.h"

namespace pimrose {
namespace {

class WebpFrames final : public FrameSource {
 public:
  explicit WebpFrames(BudgetedBytes bytes) : bytes_(std::move(bytes)) {}

  std::optional<SourceFrame> next() override;
  bool rewind() override;
  int plays() const override { return plays_; }

 private:
  BudgetedBytes bytes_;
  QBuffer buffer_;
  std::unique_ptr<QImageReader> reader_;
  int plays_ = 1;
};

// The plugin cannot go back to its first frame: a new reader starts the pass.
bool WebpFrames::rewind() {
  reader_.reset();
  buffer_.close();
  buffer_.setData(bytes_.bytes);
  buffer_.open(QIODevice::ReadOnly);
  reader_ = std::make_unique<QImageReader>(&buffer_, "webp");
  const QSize canvas = reader_->size();
  if (!reader_->supportsAnimation() || reader_->imageCount() < 2 || !isBelievableSize(canvas) ||
      qint64(canvas.width()) * canvas.height() > kMaxAnimationPixels)
    return false;
  // Qt counts the repeats after the first pass, -1 for ever.
  const int repeats = reader_->loopCount();
  plays_ = repeats < 0 ? 0 : repeats + 1;
  return true;
}

std::optional<SourceFrame> WebpFrames::next() {
  if (!reader_ || !reader_->canRead()) return std::nullopt;
  const TaggedPicture frame = taggedPluginImage(reader_->read());
  if (frame.image.isNull()) {
    reader_.reset();
    return std::nullopt;
  }
  // The plugin tells a frame's delay once the frame has been read.
  const int delay = reader_->nextImageDelay();
  QImage image = convertedToSrgb(frame.image, frame.colour);
  return SourceFrame{image.convertToFormat(QImage::Format_ARGB32_Premultiplied), delay};
}

}  // namespace

std::unique_ptr<FrameSource> openWebpFrames(BudgetedBytes bytes, QString* error) {
  auto frames = std::make_unique<WebpFrames>(std::move(bytes));
  if (!frames->rewind()) {
    if (error) *error = QStringLiteral("not an animated WebP of a size that plays");
    return nullptr;
  }
  return frames;
}

}  // namespace pimrose
