#include "thumbnails/load_thumbnail.h"

#include "codecs/heif_decode.h"
#include "codecs/picture_decoder.h"
#include "codecs/picture_probe.h"
#include "thumbnails/icon_size.h"

namespace pimrose {
namespace {

// The preview at exactly `size`; null when it cannot be decoded.
QImage fromPreview(const EmbeddedPreview& preview, QSize size) {
  const QImage upright = decodePreviewUpright(preview, size);
  return upright.isNull() ? upright : scaledThumbnail(upright, size);
}

// Whether a stand-in of `upright` size shows enough of an icon of `size`: scaled up more than twice,
// it would show little of the picture.
bool halfOrMore(QSize upright, QSize size) {
  return upright.width() * 2 >= size.width() && upright.height() * 2 >= size.height();
}

// A HEIF's embedded thumbnail stands in only where the final decode passes over it: decodeHeif takes
// a thumbnail that covers what it decodes as the final picture itself. Only the thumbnail's own
// bytes are read, beside the header boxes.
QImage heifStandIn(const PictureProbe& probe, QSize size, QSize finalDecode) {
  const HeifThumbnail& thumbnail = probe.header().heifThumbnail;
  const QSize decoded = finalDecode.isEmpty() ? size : finalDecode;
  const bool servesFinal =
      thumbnail.shown.width() >= decoded.width() && thumbnail.shown.height() >= decoded.height();
  if (thumbnail.item == 0 || servesFinal || !halfOrMore(thumbnail.shown, size)) return {};
  const QByteArray alone = probe.heifThumbnailAlone();
  if (alone.isEmpty()) return {};
  const TaggedPicture picture = decodeHeifThumbnail(alone, thumbnail.item, size, nullptr);
  return picture.image.isNull() ? QImage() : scaledThumbnail(picture, size);
}

double effectiveRatio(double pixelRatio) {
  return pixelRatio > 1.0 ? pixelRatio : 1.0;
}

LoadedThumbnail finished(LoadedThumbnail made, QImage image, double ratio) {
  made.image = std::move(image);
  if (!made.image.isNull()) {
    made.image.setDevicePixelRatio(ratio);
    made.error.clear();
  }
  return made;
}

// The thumbnail from the picture's pixels (or, where fast loading allows it, from its embedded
// preview alone, without reading the rest of the file). The bytes count against the loaders' shared
// budget until the thumbnail is made.
LoadedThumbnail fromFile(LoadedThumbnail made, const PictureProbe& probe, QSize devicePixels, PreviewUse use,
                         double ratio) {
  if (use == PreviewUse::Allowed) {
    if (const std::optional<EmbeddedPreview> preview = usablePreview(probe.header(), devicePixels)) {
      QImage image = fromPreview(*preview, devicePixels);
      if (!image.isNull()) return finished(made, std::move(image), ratio);
    }
  }
  const BudgetedBytes read = probe.readAll(sharedReadBudget(), &made.error);
  if (read.bytes.isEmpty()) return made;
  QImage image = thumbnailImage(probe.header(), read.bytes, devicePixels, PreviewUse::Refused, &made.error);
  return finished(made, std::move(image), ratio);
}

}  // namespace

// With fast loading off, JPEGs are thumbnailed from their own pixels: the embedded preview is
// blurry at large icon sizes and may not even match the picture. Only the exact lower-case
// extensions count, as the loader has always decided it.
PreviewUse previewUseFor(const QString& path, bool fastLoading) {
  if (fastLoading) return PreviewUse::Allowed;
  const bool jpegByName = path.endsWith(QLatin1String(".jpg")) || path.endsWith(QLatin1String(".jpeg"));
  return jpegByName ? PreviewUse::Refused : PreviewUse::Allowed;
}

QSize devicePixelsOf(QSize size, double pixelRatio) {
  const double ratio = effectiveRatio(pixelRatio);
  return QSize(qRound(size.width() * ratio), qRound(size.height() * ratio));
}

QImage previewThumbnail(const PictureProbe& probe, QSize size, QSize finalDecode) {
  if (probe.header().format == PictureFormat::Heif) return heifStandIn(probe, size, finalDecode);
  const std::optional<EmbeddedPreview> preview = usablePreview(probe.header(), size);
  if (!preview || !halfOrMore(preview->upright(), size)) return {};
  return fromPreview(*preview, size);
}

bool previewIsFinal(const PictureProbe& probe, QSize size, PreviewUse use) {
  return use == PreviewUse::Allowed && usablePreview(probe.header(), size).has_value();
}

LoadedThumbnail provisionalThumbnail(const LoadedThumbnail& result, QImage preview,
                                     std::function<LoadedThumbnail()> makeFinal) {
  LoadedThumbnail provisional{std::move(preview), result.height, result.sourceSize, QString()};
  provisional.provisional = true;
  provisional.makeFinal = std::move(makeFinal);
  return provisional;
}

LoadedThumbnail loadThumbnail(const QString& path, int iconSize, bool fastLoading, double pixelRatio,
                              EarlyPreview early) {
  LoadedThumbnail result;
  // The header comes first, from a bounded read: a file that only carries a picture's name (text,
  // a sparse file of zeros) is turned away before anything more of it is read.
  const std::optional<PictureProbe> probe = PictureProbe::open(path, &result.error);
  if (!probe) return result;
  return loadThumbnail(*probe, iconSize, fastLoading, pixelRatio, early);
}

LoadedThumbnail loadThumbnail(const PictureProbe& probe, int iconSize, bool fastLoading, double pixelRatio,
                              EarlyPreview early) {
  LoadedThumbnail result;
  result.sourceSize = probe.upright();
  const QSize size = thumbnailSize(result.sourceSize.width(), result.sourceSize.height(), iconSize);
  result.height = size.height();
  if (size.isEmpty()) {
    result.error = QStringLiteral("no icon size");
    return result;
  }
  const double ratio = effectiveRatio(pixelRatio);
  const QSize devicePixels = devicePixelsOf(size, ratio);
  const PreviewUse use = previewUseFor(probe.path(), fastLoading);
  if (early == EarlyPreview::Yes && !previewIsFinal(probe, devicePixels, use)) {
    QImage preview = previewThumbnail(probe, devicePixels);
    if (!preview.isNull()) {
      preview.setDevicePixelRatio(ratio);
      // The final stage may wait behind other pictures' previews: it reads the file only then (from
      // the same open file), rather than hold the bytes and their share of the budget meanwhile.
      auto makeFinal = [result, probe, devicePixels, use, ratio] {
        return fromFile(result, probe, devicePixels, use, ratio);
      };
      return provisionalThumbnail(result, std::move(preview), std::move(makeFinal));
    }
  }
  return fromFile(result, probe, devicePixels, use, ratio);
}

}  // namespace pimrose
