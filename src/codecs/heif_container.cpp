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
  QByteArrayView body;   // after the header
  QByteArrayView whole;  // header and body
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
    const Box box{readBigEndian32(p + 4), data_.sliced(at_ + header, qsizetype(size) - header),
                  data_.sliced(at_, qsizetype(size))};
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

// The item properties of a meta box and the association boxes that give them to items.
struct PropertyTable {
  std::vector<Box> properties;
  std::vector<QByteArrayView> associations;
};

PropertyTable propertyTable(QByteArrayView meta) {
  PropertyTable table;
  const std::optional<Box> iprp = firstBox(meta, fourcc("iprp"));
  if (!iprp) return table;
  Boxes children(iprp->body);
  while (const std::optional<Box> child = children.next()) {
    if (child->type == fourcc("ipco")) {
      Boxes listed(child->body);
      while (const std::optional<Box> property = listed.next()) table.properties.push_back(*property);
    } else if (child->type == fourcc("ipma")) {
      table.associations.push_back(child->body);
    }
  }
  return table;
}

// An item's size as it shows: its `ispe` extent, cropped and turned by the properties after it.
std::optional<QSize> shownSizeOf(const PropertyTable& table, quint32 item) {
  std::vector<int> indexes;
  for (const QByteArrayView ipma : table.associations) associationsOf(ipma, item, indexes);
  std::optional<QSize> size;
  for (const int index : indexes) {
    if (index < 1 || size_t(index) > table.properties.size()) continue;
    const Box& property = table.properties[size_t(index) - 1];
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

// A picture has one or two thumbnails; a file naming more is not believed beyond these, each of which
// costs a walk of the property associations.
constexpr size_t kMaxThumbnails = 16;
// Phones' grid pictures have a few hundred items; an `iloc` listing more is not believed.
constexpr quint64 kMaxLocatedItems = 65536;

// The items an `iref` box names as thumbnails (`thmb`) of `item`.
std::vector<quint32> thumbnailsOf(QByteArrayView meta, quint32 item) {
  std::vector<quint32> thumbnails;
  const std::optional<Box> iref = firstBox(meta, fourcc("iref"));
  if (!iref || iref->body.size() < 4) return thumbnails;
  const qsizetype idSize = iref->body[0] == 0 ? 2 : 4;
  const auto idAt = [&](QByteArrayView body, qsizetype at) {
    return idSize == 2 ? quint32(readBigEndian16(body.data() + at)) : readBigEndian32(body.data() + at);
  };
  Boxes references(fullBoxContent(iref->body));
  while (thumbnails.size() < kMaxThumbnails) {
    const std::optional<Box> reference = references.next();
    if (!reference) break;
    const QByteArrayView body = reference->body;
    if (reference->type != fourcc("thmb") || body.size() < idSize + 2) continue;
    const int count = readBigEndian16(body.data() + idSize);
    for (int k = 0; k < count && idSize + 2 + (k + 1) * idSize <= body.size(); ++k) {
      if (idAt(body, idSize + 2 + k * idSize) != item) continue;
      thumbnails.push_back(idAt(body, 0));
      break;
    }
  }
  return thumbnails;
}

std::optional<HeifSizes> sizesOf(QByteArrayView meta) {
  const std::optional<quint32> primary = primaryItem(meta);
  if (!primary) return std::nullopt;
  const PropertyTable table = propertyTable(meta);
  const std::optional<QSize> shown = shownSizeOf(table, *primary);
  if (!shown) return std::nullopt;
  HeifSizes sizes{*shown, {}};
  for (const quint32 item : thumbnailsOf(meta, *primary)) {
    const std::optional<QSize> size = shownSizeOf(table, item);
    if (size && heifSameShape(*size, *shown) && size->width() > sizes.thumbnail.shown.width())
      sizes.thumbnail = {item, *size};
  }
  return sizes;
}

// Where an item's data lies, as its `iloc` entry says, and where in the box its fields are kept.
struct ItemLocation {
  quint32 item = 0;
  int constructionMethod = 0;                      // 0: in a file, 1: in the meta box's `idat`
  quint64 dataReference = 0;                       // 0: in this file
  std::vector<std::pair<qint64, qint64>> extents;  // offset (base included) and length
  qsizetype baseAt = -1;                           // the base offset's field in the iloc body
  std::vector<qsizetype> offsetsAt, lengthsAt;     // each extent's fields in the iloc body
};

// The field sizes an `iloc` box uses: 0, 4 or 8 bytes.
struct LocationFields {
  int offsetBytes = 0, lengthBytes = 0, baseBytes = 0;
};

quint64 readBigEndian(const char* at, int bytes) {
  quint64 value = 0;
  for (int k = 0; k < bytes; ++k) value = value << 8 | quint8(at[k]);
  return value;
}

void writeBigEndian(char* at, int bytes, quint64 value) {
  for (int k = bytes - 1; k >= 0; --k, value >>= 8) at[k] = char(value & 0xFF);
}

// Every entry of an `iloc` body; empty when the box is malformed.
std::vector<ItemLocation> locationsOf(QByteArrayView iloc, LocationFields& fields) {
  if (iloc.size() < 6) return {};
  const int version = quint8(iloc[0]);
  fields = {quint8(iloc[4]) >> 4, quint8(iloc[4]) & 15, quint8(iloc[5]) >> 4};
  const int indexBytes = version > 0 ? quint8(iloc[5]) & 15 : 0;
  if (version > 2) return {};
  for (const int bytes : {fields.offsetBytes, fields.lengthBytes, fields.baseBytes, indexBytes})
    if (bytes != 0 && bytes != 4 && bytes != 8) return {};
  const int idBytes = version < 2 ? 2 : 4;
  qsizetype at = 6;
  bool complete = true;
  const auto take = [&](int bytes) -> quint64 {
    if (at + bytes > iloc.size()) {
      complete = false;
      return 0;
    }
    at += bytes;
    return readBigEndian(iloc.data() + at - bytes, bytes);
  };
  std::vector<ItemLocation> locations;
  const quint64 items = take(idBytes);
  if (items > kMaxLocatedItems) return {};
  for (quint64 k = 0; complete && k < items; ++k) {
    ItemLocation location;
    location.item = quint32(take(idBytes));
    location.constructionMethod = version > 0 ? int(take(2) & 15) : 0;
    location.dataReference = take(2);
    location.baseAt = at;
    const quint64 base = std::min<quint64>(take(fields.baseBytes), quint64(kMaxPictureFileBytes));
    const quint64 extents = take(2);
    for (quint64 e = 0; complete && e < extents; ++e) {
      take(indexBytes);
      location.offsetsAt.push_back(at);
      const quint64 offset = std::min<quint64>(take(fields.offsetBytes), quint64(kMaxPictureFileBytes));
      location.lengthsAt.push_back(at);
      const quint64 length = std::min<quint64>(take(fields.lengthBytes), quint64(kMaxPictureFileBytes));
      location.extents.emplace_back(qint64(base + offset), qint64(length));
    }
    locations.push_back(std::move(location));
  }
  return complete ? locations : std::vector<ItemLocation>();
}

// Points the entry at `start` in the new file: its extents one after another from there, or all at
// `start` and no longer than `longest` when `longest` is set. False when its fields cannot say so.
bool pointAt(char* iloc, const LocationFields& fields, const ItemLocation& location, qint64 start,
             std::optional<qint64> longest = std::nullopt) {
  if (fields.offsetBytes == 0 && (fields.baseBytes == 0 || location.extents.size() > 1)) return false;
  if (fields.baseBytes > 0)
    writeBigEndian(iloc + location.baseAt, fields.baseBytes, fields.offsetBytes ? 0 : start);
  qint64 at = start;
  for (size_t e = 0; e < location.extents.size(); ++e) {
    if (fields.offsetBytes > 0) writeBigEndian(iloc + location.offsetsAt[e], fields.offsetBytes, quint64(at));
    if (longest && fields.lengthBytes > 0)
      writeBigEndian(iloc + location.lengthsAt[e], fields.lengthBytes,
                     quint64(std::min(location.extents[e].second, *longest)));
    if (!longest) at += location.extents[e].second;
  }
  return true;
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

bool heifSameShape(QSize thumbnail, QSize picture) {
  if (thumbnail.isEmpty() || picture.isEmpty()) return false;
  const double expectedHeight = double(picture.height()) * thumbnail.width() / picture.width();
  return std::abs(thumbnail.height() - expectedHeight) <= std::max(1.0, 0.02 * expectedHeight);
}

std::optional<HeifSizes> heifSizes(QByteArrayView data) {
  ++threadProbeCounts().headerParses;
  const std::optional<Box> meta = firstBox(data, fourcc("meta"));
  if (!meta) return std::nullopt;
  return sizesOf(fullBoxContent(meta->body));
}

QByteArray heifThumbnailAlone(QByteArrayView header, quint32 item, const FileRangeReader& readAt) {
  Boxes boxes(header);
  const std::optional<Box> ftyp = boxes.next();
  const std::optional<Box> meta = firstBox(header, fourcc("meta"));
  if (!ftyp || ftyp->type != fourcc("ftyp") || !meta || item == 0) return {};
  const std::optional<Box> iloc = firstBox(fullBoxContent(meta->body), fourcc("iloc"));
  if (!iloc) return {};
  LocationFields fields;
  const std::vector<ItemLocation> locations = locationsOf(iloc->body, fields);
  const auto thumbnail = std::find_if(locations.begin(), locations.end(),
                                      [&](const ItemLocation& location) { return location.item == item; });
  if (thumbnail == locations.end() || thumbnail->constructionMethod > 1 || thumbnail->dataReference != 0)
    return {};
  QByteArray data;
  for (const auto& [offset, length] : thumbnail->extents) {
    if (thumbnail->constructionMethod == 1) break;  // its data is in the meta box already
    if (length == 0 || data.size() + length > kMaxHeaderBoxBytes) return {};  // "to the end": no thumbnail
    const QByteArray piece = readAt(offset, length);
    if (piece.size() != length) return {};
    data += piece;
  }
  // The data follows in an `mdat` of its own. The thumbnail's entry is pointed there, and so is
  // every other entry in the file, cut to the data's length: libheif checks that every item's data
  // lies within the file, though it reads only the thumbnail's.
  QByteArray alone = ftyp->whole.toByteArray() + meta->whole.toByteArray();
  char* entries = alone.data() + ftyp->whole.size() + qsizetype(iloc->body.data() - meta->whole.data());
  const qint64 dataStart = alone.size() + 8;
  for (const ItemLocation& location : locations) {
    if (location.constructionMethod != 0 || location.dataReference != 0) continue;
    const bool pointed = location.item == item ? pointAt(entries, fields, location, dataStart)
                                               : pointAt(entries, fields, location, dataStart, data.size());
    if (!pointed && location.item == item) return {};
  }
  char mdat[8];
  writeBigEndian(mdat, 4, quint64(8 + data.size()));
  writeBigEndian(mdat + 4, 4, fourcc("mdat"));
  return alone + QByteArray(mdat, 8) + data;
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
