#include "codecs/gif_frames.h"

#include <array>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "codecs/decode_limits.h"
#include "codecs/gif_decode.h"
#include "codecs/gif_records.h"

namespace pimrose {
namespace {

// The file is read in pieces of this size, so a long animation costs one piece of memory.
constexpr qint64 kReadPiece = 64 * 1024;

class GifFrames final : public FrameSource {
 public:
  explicit GifFrames(ReadAt read) : read_(std::move(read)) {}
  ~GifFrames() override { close(); }
  GifFrames(const GifFrames&) = delete;
  GifFrames& operator=(const GifFrames&) = delete;

  std::optional<SourceFrame> next() override;
  bool rewind() override;
  int plays() const override;
  const QString& error() const { return error_; }

 private:
  static int input(GifFileType* gif, GifByteType* out, int length);
  int take(GifByteType* out, int length);
  void close();
  std::optional<SourceFrame> endPass();
  std::optional<SourceFrame> drawFrame(const GifControl& control);
  bool prepareCanvas(QRect area);
  void disposeShown();
  bool paint(QRect area, QRect clip, const ColorMapObject& map, int transparent);

  ReadAt read_;
  QByteArray piece_;
  qsizetype pieceAt_ = 0;
  qint64 offset_ = 0;  // of the next piece
  GifFileType* gif_ = nullptr;
  QImage canvas_;
  int shownDisposal_ = 0;  // what the frame last drawn asks for before the next one
  QRect shownArea_;
  QImage saved_;  // what that area held before, when it asks for it back
  std::optional<int> loops_;
  QString error_;
};

int GifFrames::input(GifFileType* gif, GifByteType* out, int length) {
  return static_cast<GifFrames*>(gif->UserData)->take(out, length);
}

int GifFrames::take(GifByteType* out, int length) {
  int done = 0;
  while (done < length) {
    if (pieceAt_ == piece_.size()) {
      piece_ = read_(offset_, kReadPiece);
      pieceAt_ = 0;
      offset_ += piece_.size();
      if (piece_.isEmpty()) break;
    }
    const int count = int(std::min<qsizetype>(length - done, piece_.size() - pieceAt_));
    std::memcpy(out + done, piece_.constData() + pieceAt_, size_t(count));
    pieceAt_ += count;
    done += count;
  }
  return done;
}

void GifFrames::close() {
  int status = 0;
  if (gif_) DGifCloseFile(gif_, &status);
  gif_ = nullptr;
}

bool GifFrames::rewind() {
  close();
  piece_.clear();
  pieceAt_ = 0;
  offset_ = 0;
  int status = 0;
  gif_ = DGifOpen(this, &GifFrames::input, &status);
  if (!gif_) {
    error_ = QString::fromUtf8(GifErrorString(status));
    return false;
  }
  if (!canvas_.isNull()) canvas_.fill(0);
  shownDisposal_ = 0;
  shownArea_ = QRect();
  saved_ = QImage();
  return true;
}

int GifFrames::plays() const {
  if (!loops_) return 1;
  return *loops_ == 0 ? 0 : *loops_ + 1;
}

std::optional<SourceFrame> GifFrames::next() {
  if (!gif_) return std::nullopt;
  GifControl control;
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  while (DGifGetRecordType(gif_, &record) != GIF_ERROR) {
    if (record == IMAGE_DESC_RECORD_TYPE) return drawFrame(control);
    if (record != EXTENSION_RECORD_TYPE || !readGifExtension(gif_, control, &loops_)) break;
  }
  return endPass();
}

std::optional<SourceFrame> GifFrames::endPass() {
  close();
  return std::nullopt;
}

std::optional<SourceFrame> GifFrames::drawFrame(const GifControl& control) {
  if (DGifGetImageDesc(gif_) == GIF_ERROR) return endPass();
  const GifImageDesc desc = gif_->Image;
  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
  const QRect area(desc.Left, desc.Top, desc.Width, desc.Height);
  if (!map || area.isEmpty() || !prepareCanvas(area)) return endPass();
  disposeShown();
  const QRect clip = area & canvas_.rect();
  saved_ = control.disposal == GifControl::Restore ? canvas_.copy(clip) : QImage();
  if (!paint(area, clip, *map, control.transparent)) return endPass();
  // giflib keeps a record of every frame read, colours included, until the file is closed; a
  // long animation would grow it for the whole pass. Nothing here reads those records.
  GifFreeSavedImages(gif_);
  gif_->ImageCount = 0;
  shownDisposal_ = control.disposal;
  shownArea_ = clip;
  return SourceFrame{canvas_, control.delayCs * 10};
}

// The canvas is laid out by the first frame, as the still picture is, and kept for every pass.
bool GifFrames::prepareCanvas(QRect area) {
  if (!canvas_.isNull()) return true;
  const QSize size = gifCanvas(QSize(gif_->SWidth, gif_->SHeight), area);
  if (!isBelievableSize(size) || qint64(size.width()) * size.height() > kMaxAnimationPixels) {
    error_ = QStringLiteral("moving picture too large to play");
    return false;
  }
  canvas_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
  if (canvas_.isNull()) {
    error_ = QStringLiteral("out of memory");
    return false;
  }
  canvas_.fill(0);
  return true;
}

void GifFrames::disposeShown() {
  if (shownArea_.isEmpty()) return;
  if (shownDisposal_ == GifControl::Clear) {
    for (int y = shownArea_.top(); y <= shownArea_.bottom(); ++y)
      std::memset(canvas_.scanLine(y) + shownArea_.left() * 4, 0, size_t(shownArea_.width()) * 4);
  } else if (shownDisposal_ == GifControl::Restore && !saved_.isNull()) {
    for (int y = 0; y < saved_.height(); ++y)
      std::memcpy(canvas_.scanLine(shownArea_.top() + y) + shownArea_.left() * 4, saved_.constScanLine(y),
                  size_t(saved_.width()) * 4);
  }
}

// Rows are read in the file's order (interlaced or not) and drawn where they belong; a colour of
// 0 (the transparent index, or an index past the table) leaves the canvas as it is.
bool GifFrames::paint(QRect area, QRect clip, const ColorMapObject& map, int transparent) {
  std::array<QRgb, 256> colours{};
  for (int i = 0; i < std::min(map.ColorCount, 256); ++i)
    if (i != transparent)
      colours[size_t(i)] = qRgb(map.Colors[i].Red, map.Colors[i].Green, map.Colors[i].Blue);
  std::vector<GifPixelType> line(size_t(area.width()));
  for (int row : gifRowOrder(area.height(), gif_->Image.Interlace)) {
    if (DGifGetLine(gif_, line.data(), area.width()) == GIF_ERROR) return false;
    const int y = area.top() + row;
    if (y < clip.top() || y > clip.bottom()) continue;
    auto* out = reinterpret_cast<QRgb*>(canvas_.scanLine(y));
    for (int x = clip.left(); x <= clip.right(); ++x)
      if (const QRgb colour = colours[line[size_t(x - area.left())]]) out[x] = colour;
  }
  return true;
}

}  // namespace

std::unique_ptr<FrameSource> openGifFrames(ReadAt read, QString* error) {
  auto frames = std::make_unique<GifFrames>(std::move(read));
  if (!frames->rewind()) {
    if (error) *error = frames->error();
    return nullptr;
  }
  return frames;
}

}  // namespace pimrose
