#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QSize>
#include <QString>

#include "codecs/file_reading.h"
#include "codecs/picture_header.h"

namespace pimrose {

// One picture file as one task sees it. The file is opened once; its header is read from the first
// 64 KiB (a JPEG's markers further in by seeking, a header Qt's plug-ins must find anywhere in the
// file from the whole file, within the picture file limit), its format sniffed and its header
// parsed once. The task carries the probe along: the decoders, the shared cache and the preview
// path take what it learned instead of asking again, and the file is read whole only when its
// pixels are wanted, never before its header showed a picture, without reading again the bytes
// the header came from.
//
// A copy shares the open file and the bytes the header views, so a later stage of the same task
// (the final thumbnail after a preview) reads from the same file without opening it again.
class PictureProbe {
 public:
  // nullopt, with `error` set, when the file cannot be opened or holds no picture we can read.
  static std::optional<PictureProbe> open(const QString& path, QString* error = nullptr);
  // The same for a file the caller has opened (to tell a file it cannot open from one that holds
  // no picture); `path` names it.
  static std::optional<PictureProbe> of(OpenedFile file, const QString& path, QString* error = nullptr);

  const QString& path() const { return path_; }
  const PictureHeader& header() const { return header_; }
  QSize upright() const { return header_.upright(); }
  qint64 fileSize() const { return file_->size(); }

  // The whole file within `budget` (file_reading.h): empty, with `error` set, for a file above the
  // picture file limit or one that changed size since it was opened.
  BudgetedBytes readAll(ReadBudget& budget, QString* error = nullptr) const;
  // A HEIF's embedded thumbnail (header().heifThumbnail) as a small HEIF of its own: the boxes the
  // header came from and the thumbnail's data, read from the same open file (heifThumbnailAlone).
  // Empty when there is none or it cannot be read.
  QByteArray heifThumbnailAlone() const;

 private:
  PictureProbe(std::shared_ptr<const OpenedFile> file, QString path);
  bool readHeader();
  bool readHeaderBeyondStart(PictureFormat format);

  std::shared_ptr<const OpenedFile> file_;
  QString path_;
  QByteArray start_;        // the file's first bytes (all of it when it is short or had to be read whole)
  QByteArray headerBytes_;  // what the header was parsed from: start_, or a JPEG's condensed markers
  PictureHeader header_;    // its preview views headerBytes_
};

}  // namespace pimrose
