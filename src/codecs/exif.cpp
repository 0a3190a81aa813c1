#include "codecs/exif.h"

#include <optional>

namespace pimrose {
namespace {

constexpr quint16 kOrientationTag = 0x0112;
constexpr quint16 kPreviewOffsetTag = 0x0201;
constexpr quint16 kPreviewLengthTag = 0x0202;
constexpr int kEntrySize = 12;
constexpr int kMaxEntries = 1000;  // a real IFD holds a few dozen; more means garbage

// Bounds-checked reader of a TIFF block in either byte order.
class TiffReader {
 public:
  TiffReader(QByteArrayView block, bool littleEndian) : block_(block), little_(littleEndian) {}

  std::optional<quint32> u16(qsizetype at) const {
    if (at < 0 || at + 2 > block_.size()) return std::nullopt;
    const auto* p = reinterpret_cast<const quint8*>(block_.data() + at);
    return little_ ? quint32(p[0] | p[1] << 8) : quint32(p[0] << 8 | p[1]);
  }
  std::optional<quint32> u32(qsizetype at) const {
    const auto a = u16(at), b = u16(at + 2);
    if (!a || !b) return std::nullopt;
    return little_ ? (*b << 16 | *a) : (*a << 16 | *b);
  }
  qsizetype size() const { return block_.size(); }
  QByteArrayView slice(qsizetype at, qsizetype length) const {
    if (at < 0 || length <= 0 || at > block_.size() || length > block_.size() - at) return {};
    return block_.sliced(at, length);
  }

 private:
  QByteArrayView block_;
  bool little_;
};

// Calls visit(tag, valueFieldOffset) for each entry of the IFD at `offset`; answers the offset of
// the next IFD (0 when none or unreadable).
template <typename Visit>
quint32 walkIfd(const TiffReader& tiff, quint32 offset, Visit visit) {
  const auto count = tiff.u16(offset);
  if (!count || *count > kMaxEntries) return 0;
  for (quint32 i = 0; i < *count; ++i) {
    const qsizetype entry = qsizetype(offset) + 2 + qsizetype(i) * kEntrySize;
    const auto tag = tiff.u16(entry);
    if (!tag) return 0;
    visit(quint16(*tag), entry + 8);
  }
  return tiff.u32(qsizetype(offset) + 2 + qsizetype(*count) * kEntrySize).value_or(0);
}

QByteArrayView findPreview(const TiffReader& tiff, quint32 ifd1) {
  quint32 start = 0, length = 0;
  walkIfd(tiff, ifd1, [&](quint16 tag, qsizetype value) {
    if (tag == kPreviewOffsetTag) start = tiff.u32(value).value_or(0);
    if (tag == kPreviewLengthTag) length = tiff.u32(value).value_or(0);
  });
  const QByteArrayView preview = tiff.slice(start, length);
  return preview.startsWith("\xFF\xD8") ? preview : QByteArrayView();
}

}  // namespace

ExifFacts parseExif(QByteArrayView block) {
  ExifFacts facts;
  if (block.size() < 8) return facts;
  // Both magics hold a zero byte, so they are compared with their lengths spelled out: a literal
  // alone would stop at the zero and let any block starting "MM" pass.
  const bool little = block.startsWith(QByteArrayView("II*\0", 4));
  if (!little && !block.startsWith(QByteArrayView("MM\0*", 4))) return facts;
  const TiffReader tiff(block, little);
  const quint32 ifd0 = tiff.u32(4).value_or(0);
  if (ifd0 == 0) return facts;
  const quint32 ifd1 = walkIfd(tiff, ifd0, [&](quint16 tag, qsizetype value) {
    if (tag != kOrientationTag) return;
    const quint32 orientation = tiff.u16(value).value_or(1);
    if (orientation >= 1 && orientation <= 8) facts.orientation = int(orientation);
  });
  // An IFD1 that points back at IFD0 would only repeat it; anything else is bounds-checked.
  if (ifd1 != 0 && ifd1 != ifd0) facts.preview = findPreview(tiff, ifd1);
  return facts;
}

}  // namespace pimrose
