#pragma once

#include <QByteArray>
#include <QString>

// The picture operations on byte arrays: read, measure, convert, thumbnail. None of them throws or
// shows anything: a failure is 0 or an empty byte array. All are safe on any thread at once.
// The program itself reads headers first and decodes at the size it needs (load_thumbnail,
// picture_size, the viewer's decoder), so it has no caller of these; they are kept as the system's
// byte-array operations, and the codecs' tests run pictures through them.
namespace pimrose {

// Target codes of ConvertImage; any other value means PNG.
enum ImageFormatCode { kFormatBmp = 1, kFormatJpeg = 2, kFormatGif = 3, kFormatTiff = 4, kFormatPng = 5 };

// The file's entire contents; empty for a missing, unreadable or empty file or a directory.
// `widePath` is UTF-16LE code units ending with one zero code unit.
QByteArray ReadWholeFile(const QByteArray& widePath);
QByteArray ReadWholeFile(const QString& path);

// True when `path` (UTF-8 text) names an existing regular file.
bool IsExistingFile(const QByteArray& path);
bool IsExistingFile(const QString& path);

// The upright pixel size of `source`: encoded picture data, or (when its bytes up to the first
// zero read as the path of an existing file) that file. Read from the header only; 0 when the
// picture cannot be read.
int ImageWidth(const QByteArray& source);
int ImageHeight(const QByteArray& source);

// The picture re-encoded as BMP, JPEG, GIF, TIFF or PNG (by `formatCode`), drawn on white first
// when `flatten` is set; empty on failure. A non-blank `outputPath` (UTF-8) also receives the
// result, with the format's extension appended unless the path already ends in it.
QByteArray ConvertImage(const QByteArray& data, int formatCode, const QByteArray& outputPath = {},
                        bool flatten = false);

// A PNG thumbnail of exactly width x height pixels (a side below 1 means the picture's own); a size
// above 16 million pixels is reduced to that, proportions kept (decode_limits.h). A JPEG's embedded EXIF
// preview stands in for its pixels when there is one. Empty on failure.
QByteArray MakeThumbnail(const QByteArray& data, int width = 0, int height = 0);

// Why the most recent ConvertImage (on any thread) failed; empty when none has.
QString LastImageError();

// The wide-path form of a path: UTF-16LE code units and one zero code unit.
QByteArray toWidePath(const QString& path);

}  // namespace pimrose
