#pragma once

#include <memory>
#include <optional>

#include <QByteArrayView>
#include <QImage>
#include <QString>

#include "codecs/picture_header.h"

namespace pimrose {

// One frame of a moving picture as its file lays it out: the whole canvas once the frame is drawn.
struct SourceFrame {
  QImage image;     // upright, sRGB, Format_ARGB32_Premultiplied; the source draws the next frame on it
  int delayMs = 0;  // how long the file asks the frame to stay, as stored
};

// The frames of a moving picture, one pass at a time, read as they are needed: a source holds its
// canvas (and the area a frame asks to be restored), never the frames it has given.
class FrameSource {
 public:
  virtual ~FrameSource() = default;

  // The next frame of this pass; nullopt once the pass is over: the last frame was given, or the
  // data is damaged from here on (the frames before the damage still make the pass).
  virtual std::optional<SourceFrame> next() = 0;
  // Back to the first frame on a clear canvas; false when the file can no longer be read.
  virtual bool rewind() = 0;
  // How many passes the file asks for, 0 for ever; final once a pass is over.
  virtual int plays() const = 0;
};

// Whether the bytes hold a moving picture that plays: a GIF of two frames or more, or an animated
// WebP. An animated AVIF is not one: libheif 1.15 reads the primary image of a file, never its
// image sequence.
bool isMovingPicture(QByteArrayView data);
// The same for data whose header has been read: a GIF's blocks are skipped, its header not parsed again.
bool isMovingPicture(const PictureHeader& header, QByteArrayView data);

// The frames of the moving picture at `path` (opened by its exact name bytes): a GIF's read from the
// file as they are drawn, an animated WebP's through Qt's plugin, which holds the file. Null, with
// `error` set, for a file that is no moving picture, cannot be read, or whose canvas is larger than
// kMaxAnimationPixels.
std::unique_ptr<FrameSource> openFrameSource(const QString& path, QString* error = nullptr);

}  // namespace pimrose
