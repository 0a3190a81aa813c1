#include "codecs/heif_container.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "codecs/file_reading.h"
#include "codecs/picture_format.h"
#include "codecs/probe_counts.h"

namespace pimrose {
namespace {

constexpr quint32 fourcc(const char (&name)[5]) {
  return quint32(quint8(name[0])) << 24 | quint32(quint8(name[1])) << 16 | quint32(quint8(name[2])) << 8 |
         quint8(name[3]);
}

// Brands of still HEIF images, whatever their codec (HEVC, AV1).
constexpr quint32 kImageBrands[] = {fourcc("heic"), fourcc("heix"), fourcc("heim"), fourcc("heis"),
                                    fourcc("hevc"), fourcc("hevx"), fourcc("hevm"), fourcc("hevs"),
                                    fourcc("mif1"), fourcc("msf1"), fourcc("mif2"), fourcc("miaf"),
                                    fourcc("avif"), fourcc("avis"), fourcc("avio")};

// A meta box holds the item tables, never the pictures: a few kilobytes, even for a grid of tiles.
constexpr qint64 kMaxHeaderBoxBytes = 16 * 1024 * 1024;

struct Box {
  quint32 type = 0;
  QByteArrayView body;  // after the header
};

// The boxes of `data` one after another; the walk ends at the first box cut short.
class Boxes {
 public:
  explicit Boxes(QByteArrayView data) : data_(data) {}

  std::optional<Box> next() {
    const qsizetype left = data_.size() - at_;
    if (left < 8) return std::nullopt;
    const char* p = data_.data() + at_;
    quint64 size = readBigEndian32(p);
    qsizetype header = 8;
    if (size == 1) {  // a 64-bit size follows the type
      if (left < 16) return std::nullopt;
      size = quint64(readBigEndian32(p + 8)) << 32 | readBigEndian32(p + 12);
      header = 16;
    } else if (size == 0) {  // to the end of the data
      size = quint64(left);
    }
    if (size < quint64(header) || size > quint64(left)) return std::nullopt;
    const Box box{readBigEndian32(p + 4), data_.sliced(at_ + header, qsizetype(size) - header)};
    at_ += qsizetype(size);
    return box;
  }

 private:
  QByteArrayView data_;
  qsizetype at_ = 0;
};

std::optional<Box> firstBox(QByteArrayView data, quint32 type) {
  Boxes boxes(data);
  while (const std::optional<Box> box = boxes.next())
    if (box->type == type) return box;
  return std::nullopt;
}

// A full box's body after its version and flags.
QByteArrayView fullBoxContent(QByteArrayView body) {
  return body.size() >= 4 ? body.sliced(4) : QByteArrayView();
}

std::optional<quint32> primaryItem(QByteArrayView meta) {
  const std::optional<Box> pitm = firstBox(meta, fourcc("pitm"));
  if (!pitm || pitm->body.size() < 6) return std::nullopt;
  if (pitm->body[0] == 0) return readBigEndian16(pitm->body.data() + 4);
  if (pitm->body.size() < 8) return std::nullopt;
  return readBigEndian32(pitm->body.data() + 4);
}

// The property indexes (from 1) an `ipma` box associates with `item`, in the order listed.
void associationsOf(QByteArrayView ipma, quint32 item, std::vector<int>& indexes) {
  if (ipma.size() < 8) return;
  const bool longItems = ipma[0] != 0, longIndexes = quint8(ipma[3]) & 1;
  const quint32 entries = readBigEndian32(ipma.data() + 4);
  qsizetype at = 8;
  for (quint32 e = 0; e < entries; ++e) {
    const qsizetype idSize = longItems ? 4 : 2, indexSize = longIndexes ? 2 : 1;
    if (at + idSize + 1 > ipma.size()) return;
    const quint32 id = longItems ? readBigEndian32(ipma.data() + at) : readBigEndian16(ipma.data() + at);
    const int count = quint8(ipma[at + idSize]);
    at += idSize + 1;
    if (at + count * indexSize > ipma.size()) return;
    for (int k = 0; k < count && id == item; ++k) {
      const quint32 value = longIndexes ? readBigEndian16(ipma.data() + at + k * 2) : quint8(ipma[at + k]);
      indexes.push_back(int(value & (longIndexes ? 0x7FFF : 0x7F)));
    }
    at += count * indexSize;
  }
}

// The clean aperture's size, rounded, within the picture it crops.
QSize croppedSize(QByteArrayView clap, QSize size) {
  if (clap.size() < 16) return size;
  const auto ratio = [&](qsizetype at) {
    const quint32 n = readBigEndian32(clap.data() + at), d = readBigEndian32(clap.data() + at + 4);
    return d == 0 ? -1.0 : double(n) / double(d);
  };
  const double width = ratio(0), height = ratio(8);
  if (width < 1 || height < 1) return size;
  return QSize(std::min(size.width(), int(std::lround(width))),
               std::min(size.height(), int(std::lround(height))));
}

std::optional<QSize> shownSize(QByteArrayView meta) {
  const std::optional<quint32> primary = primaryItem(meta);
  const std::optional<Box> iprp = firstBox(meta, fourcc("iprp"));
  if (!primary || !iprp) return std::nullopt;
  std::vector<Box> properties;
  std::vector<int> indexes;
  Boxes children(iprp->body);
  while (const std::optional<Box> child = children.next()) {
    if (child->type == fourcc("ipco")) {
      Boxes listed(child->body);
      while (const std::optional<Box> property = listed.next()) properties.push_back(*property);
    } else if (child->type == fourcc("ipma")) {
      associationsOf(child->body, *primary, indexes);
    }
  }
  std::optional<QSize> size;
  for (const int index : indexes) {
    if (index < 1 || size_t(index) > properties.size()) continue;
    const Box& property = properties[size_t(index) - 1];
    if (property.type == fourcc("ispe") && !size && property.body.size() >= 12) {
      const quint32 width = readBigEndian32(property.body.data() + 4),
                    height = readBigEndian32(property.body.data() + 8);
      if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return std::nullopt;
      size = QSize(int(width), int(height));
    } else if (property.type == fourcc("clap") && size) {
      size = croppedSize(property.body, *size);
    } else if (property.type == fourcc("irot") && size && !property.body.isEmpty()) {
      if (quint8(property.body[0]) & 1) size = size->transposed();
    }
  }
  return size;
}

}  // namespace

bool isHeifFile(QByteArrayView data) {
  if (data.size() < 16 || readBigEndian32(data.data() + 4) != fourcc("ftyp")) return false;
  const qsizetype end = std::min<qsizetype>(data.size(), readBigEndian32(data.data()));
  for (qsizetype at = 8; at + 4 <= end; at += at == 8 ? 8 : 4) {  // the major brand, then the compatible ones
    const quint32 brand = readBigEndian32(data.data() + at);
    if (std::find(std::begin(kImageBrands), std::end(kImageBrands), brand) != std::end(kImageBrands))
      return true;
  }
  return false;
}

std::optional<QSize> heifShownSize(QByteArrayView data) {
  ++threadProbeCounts().headerParses;
  const std::optional<Box> meta = firstBox(data, fourcc("meta"));
  if (!meta) return std::nullopt;
  return shownSize(fullBoxContent(meta->body));
}

QByteArray heifHeaderBoxes(const OpenedFile& file) {
  constexpr int kMaxTopLevelBoxes = 64;
  QByteArray kept;
  qint64 at = 0;
  for (int step = 0; step < kMaxTopLevelBoxes && at + 8 <= file.size(); ++step) {
    const QByteArray head = file.readAt(at, 16);
    if (head.size() < 8) break;
    quint64 size = readBigEndian32(head.constData());
    if (size == 1 && head.size() == 16)
      size = quint64(readBigEndian32(head.constData() + 8)) << 32 | readBigEndian32(head.constData() + 12);
    if (size == 0) size = quint64(file.size() - at);
    if (size < 8 || size > quint64(file.size() - at)) break;
    const quint32 type = readBigEndian32(head.constData() + 4);
    if ((type == fourcc("ftyp") || type == fourcc("meta")) && size <= quint64(kMaxHeaderBoxBytes)) {
      const QByteArray box = file.readAt(at, qint64(size));
      if (box.size() != qsizetype(size)) break;
      kept += box;
      if (type == fourcc("meta")) return kept;
    }
    at += qint64(size);
  }
  return {};
}

}  // namespace pimrose
