#include "codecs/colour_profile.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include <QHash>

#include <lcms2.h>

#include "codecs/matrix_shaper.h"

namespace pimrose {
namespace {

// The pixel layouts a conversion is asked for. QImage keeps a 32-bit pixel as one 0xAARRGGBB word,
// BGRA in memory on a little-endian machine; the 8888 formats keep bytes in R, G, B, A order.
enum Layout { kWord, kWordPremultiplied, kBytes, kBytesPremultiplied, kLayoutCount };

constexpr bool kLittleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
constexpr std::array<cmsUInt32Number, kLayoutCount> kLcmsLayouts = {
    kLittleEndian ? TYPE_BGRA_8 : TYPE_ARGB_8, kLittleEndian ? TYPE_BGRA_8_PREMUL : TYPE_ARGB_8_PREMUL,
    TYPE_RGBA_8, TYPE_RGBA_8_PREMUL};

// The layout lcms reads `format` in; kLayoutCount when the image must be widened first.
Layout layoutOf(QImage::Format format) {
  switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
      return kWord;
    case QImage::Format_ARGB32_Premultiplied:
      return kWordPremultiplied;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
      return kBytes;
    case QImage::Format_RGBA8888_Premultiplied:
      return kBytesPremultiplied;
    default:
      return kLayoutCount;
  }
}

struct ProfileCloser {
  void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

Profile srgbProfile() {
  return Profile(cmsCreate_sRGBProfile());
}

cmsToneCurve* toneCurve(const ToneCurve& curve) {
  if (curve.kind == ToneCurve::Power) return cmsBuildGamma(nullptr, curve.gamma);
  const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  return cmsBuildParametricToneCurve(nullptr, 4, srgb);
}

// The key of a profile made from primaries holds exactly the numbers it is made from: the eight
// chromaticities, the curve's kind and its exponent.
using PrimariesKey = std::array<double, 10>;

QByteArray keyBytes(const Chromaticities& p, const ToneCurve& curve) {
  const PrimariesKey numbers = {p.whiteX, p.whiteY,           p.redX,     p.redY, p.greenX, p.greenY, p.blueX,
                                p.blueY,  double(curve.kind), curve.gamma};
  return QByteArray(reinterpret_cast<const char*>(numbers.data()), qsizetype(sizeof numbers));
}

Profile profileFromPrimaries(const PrimariesKey& n) {
  const cmsCIExyY white{n[0], n[1], 1.0};
  const cmsCIExyYTRIPLE primaries{{n[2], n[3], 1.0}, {n[4], n[5], 1.0}, {n[6], n[7], 1.0}};
  cmsToneCurve* curve =
      toneCurve(ToneCurve{n[8] == double(ToneCurve::Power) ? ToneCurve::Power : ToneCurve::Srgb, n[9]});
  if (!curve) return nullptr;
  cmsToneCurve* curves[3] = {curve, curve, curve};
  Profile profile(cmsCreateRGBProfile(&white, &primaries, curves));
  cmsFreeToneCurve(curve);
  return profile;
}

Profile openProfile(const QByteArray& key, bool icc) {
  if (icc) return Profile(cmsOpenProfileFromMem(key.constData(), cmsUInt32Number(key.size())));
  PrimariesKey numbers;
  if (key.size() != qsizetype(sizeof numbers)) return nullptr;
  std::memcpy(numbers.data(), key.constData(), sizeof numbers);
  return profileFromPrimaries(numbers);
}

// One profile's conversion to sRGB: tables and a matrix for a matrix-shaper profile, otherwise
// lcms2 transforms, made when a layout is first asked for and read-only afterwards (made without
// lcms's one-pixel cache), so threads share them.
class Conversion {
 public:
  Conversion(const QByteArray& key, bool icc) : source_(openProfile(key, icc)), srgb_(srgbProfile()) {
    if (!source_ || !srgb_ || cmsGetColorSpace(source_.get()) != cmsSigRgbData) return;
    matrixShaper_ = MatrixShaperConversion::between(source_.get(), srgb_.get());
    changes_ = (matrixShaper_ || transform(kWord)) && !keepsEveryColour();
  }
  ~Conversion() {
    for (Slot& slot : slots_)
      if (slot.transform) cmsDeleteTransform(slot.transform);
  }
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

  bool changes() const { return changes_; }

  QImage apply(QImage image) const {
    Layout layout = layoutOf(image.format());
    if (layout == kLayoutCount) {
      image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
      layout = kWord;
    }
    if (image.isNull()) return image;
    if (matrixShaper_) {
      if (layout == kWord || layout == kWordPremultiplied)
        matrixShaper_->convertWords(image, layout == kWordPremultiplied);
      else
        matrixShaper_->convertBytes(image, layout == kBytesPremultiplied);
      return image;
    }
    cmsHTRANSFORM t = transform(layout);
    if (!t) return image;
    uchar* bits = image.bits();
    const auto stride = cmsUInt32Number(image.bytesPerLine());
    cmsDoTransformLineStride(t, bits, bits, cmsUInt32Number(image.width()), cmsUInt32Number(image.height()),
                             stride, stride, 0, 0);
    return image;
  }

 private:
  struct Slot {
    std::once_flag made;
    cmsHTRANSFORM transform = nullptr;
  };

  cmsHTRANSFORM transform(Layout layout) const {
    Slot& slot = slots_[layout];
    std::call_once(slot.made, [&] {
      const cmsUInt32Number format = kLcmsLayouts[layout];
      slot.transform = cmsCreateTransform(source_.get(), format, srgb_.get(), format, INTENT_PERCEPTUAL,
                                          cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOCACHE);
    });
    return slot.transform;
  }

  // A profile that is sRGB under another name (a camera's own copy, a v4 rewrite) moves no colour
  // by more than a rounding step: it is treated as untagged and costs no pass over the pixels.
  bool keepsEveryColour() const {
    constexpr int kLevels[] = {0, 16, 48, 96, 128, 160, 208, 255};
    QImage probe(512, 1, QImage::Format_RGB32);
    auto* line = reinterpret_cast<QRgb*>(probe.scanLine(0));
    int i = 0;
    for (int r : kLevels)
      for (int g : kLevels)
        for (int b : kLevels) line[i++] = qRgb(r, g, b);
    const QImage converted = apply(probe);
    const auto* out = reinterpret_cast<const QRgb*>(converted.constScanLine(0));
    for (i = 0; i < probe.width(); ++i) {
      if (std::abs(qRed(out[i]) - qRed(line[i])) > 1 || std::abs(qGreen(out[i]) - qGreen(line[i])) > 1 ||
          std::abs(qBlue(out[i]) - qBlue(line[i])) > 1)
        return false;
    }
    return true;
  }

  Profile source_;
  Profile srgb_;
  std::optional<MatrixShaperConversion> matrixShaper_;  // the quick way, for most profiles
  bool changes_ = false;
  mutable std::array<Slot, kLayoutCount> slots_;
};

// Prepared conversions by profile key. A folder rarely holds more than a handful of distinct
// profiles; past the bound the table starts again (conversions in use stay alive with their users).
constexpr qsizetype kMaxKeptConversions = 32;

struct CacheEntry {
  std::once_flag made;
  std::unique_ptr<Conversion> conversion;
};

std::shared_ptr<CacheEntry> cacheEntry(const std::pair<bool, QByteArray>& key) {
  static std::mutex mutex;
  static QHash<std::pair<bool, QByteArray>, std::shared_ptr<CacheEntry>> entries;
  const std::lock_guard lock(mutex);
  if (const auto found = entries.constFind(key); found != entries.cend()) return found.value();
  if (entries.size() >= kMaxKeptConversions) entries.clear();
  auto entry = std::make_shared<CacheEntry>();
  entries.insert(key, entry);
  return entry;
}

// The conversion of `profile`, made outside the table's lock (lcms takes a few milliseconds);
// threads that ask for the same new profile meanwhile wait for the one making it.
std::shared_ptr<const Conversion> conversionFor(const ColourProfile& profile) {
  std::shared_ptr<CacheEntry> entry = cacheEntry({profile.isIcc(), profile.key()});
  std::call_once(entry->made,
                 [&] { entry->conversion = std::make_unique<Conversion>(profile.key(), profile.isIcc()); });
  return std::shared_ptr<const Conversion>(entry, entry->conversion.get());
}

bool isSrgbPrimaries(const Chromaticities& p) {
  const Chromaticities& s = kSrgbChromaticities;
  const double values[] = {p.whiteX - s.whiteX, p.whiteY - s.whiteY, p.redX - s.redX,   p.redY - s.redY,
                           p.greenX - s.greenX, p.greenY - s.greenY, p.blueX - s.blueX, p.blueY - s.blueY};
  for (double d : values)
    if (std::abs(d) > 0.0005) return false;
  return true;
}

}  // namespace

ColourProfile ColourProfile::fromIcc(QByteArray icc) {
  ColourProfile profile;
  if (icc.isEmpty()) return profile;
  profile.kind_ = Kind::Icc;
  profile.key_ = std::move(icc);
  return profile;
}

ColourProfile ColourProfile::fromPrimaries(const Chromaticities& primaries, ToneCurve curve) {
  ColourProfile profile;
  if (curve.kind == ToneCurve::Srgb && isSrgbPrimaries(primaries)) return profile;
  profile.kind_ = Kind::Primaries;
  profile.key_ = keyBytes(primaries, curve);
  return profile;
}

bool changesColours(const ColourProfile& profile) {
  return profile.isTagged() && conversionFor(profile)->changes();
}

QImage convertedToSrgb(QImage image, const ColourProfile& profile) {
  if (image.isNull() || !profile.isTagged()) return image;
  const std::shared_ptr<const Conversion> conversion = conversionFor(profile);
  return conversion->changes() ? conversion->apply(std::move(image)) : image;
}

}  // namespace pimrose
