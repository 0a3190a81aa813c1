#pragma once

#include <QByteArray>
#include <QImage>

// What a picture's pixel values mean, as its file says, and their conversion to sRGB, the colours
// every thumbnail, shared cache entry and viewer picture is kept in. An untagged picture is sRGB.

namespace pimrose {

// CIE xy chromaticities of a white point and three primaries.
struct Chromaticities {
  double whiteX, whiteY, redX, redY, greenX, greenY, blueX, blueY;
};

// sRGB's own primaries and white (BT.709, D65).
inline constexpr Chromaticities kSrgbChromaticities{0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};

// How stored values map to light: the sRGB curve, a pure power (value^gamma) or linear.
struct ToneCurve {
  enum Kind { Srgb, Power } kind = Srgb;
  double gamma = 1.0;  // the exponent of a Power curve
};

class ColourProfile {
 public:
  // Untagged: the pixels are sRGB as they stand.
  ColourProfile() = default;
  // An embedded ICC profile; empty bytes mean untagged.
  static ColourProfile fromIcc(QByteArray icc);
  // Primaries and a tone curve (a PNG's cHRM and gAMA, a HEIF's nclx box). sRGB's own primaries
  // with the sRGB curve are untagged.
  static ColourProfile fromPrimaries(const Chromaticities& primaries, ToneCurve curve);

  bool isTagged() const { return !key_.isEmpty(); }
  bool isIcc() const { return kind_ == Kind::Icc; }
  // What identifies the profile: the ICC bytes, or the primaries and curve as bytes.
  const QByteArray& key() const { return key_; }
  bool operator==(const ColourProfile&) const = default;

 private:
  enum class Kind { Untagged, Icc, Primaries };
  Kind kind_ = Kind::Untagged;
  QByteArray key_;
};

// A decoded picture and the profile its pixel values are in.
struct TaggedPicture {
  QImage image;
  ColourProfile colour;
};

// `image` with its colours converted from `profile` to sRGB; the same image, untouched, when the
// profile is untagged, sRGB itself (no colour moves by more than a rounding step), not an RGB
// profile, or broken. The conversion of each distinct profile is prepared once and kept (up to a
// few dozen profiles), on whichever thread first needs it. Safe on any thread at once.
QImage convertedToSrgb(QImage image, const ColourProfile& profile);

// Whether `profile` would change any colour: false for untagged, sRGB-equivalent and broken ones.
bool changesColours(const ColourProfile& profile);

}  // namespace pimrose
