#include "text/byte_count_text.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace pimrose {
namespace {

struct Unit {
  const char* letter;
  double divisor;
};

Unit unitFor(qint64 size) {
  // The large units compare in double precision, with a little room for the conversion; the small
  // ones compare the exact count.
  static constexpr std::array<Unit, 5> kLarge = {
      {{"E", 0x1p60}, {"P", 0x1p50}, {"T", 0x1p40}, {"G", 0x1p30}, {"M", 0x1p20}}};
  for (const Unit& unit : kLarge)
    if (double(size) - unit.divisor > 1e-07) return unit;
  if (size > 1024) return {"K", 1024};
  if (size > 0) return {"B", 1};
  return {"", 0};
}

// Rounds half away from zero to `decimals` places; the nudge keeps a product such as 2.5 that lands a
// hair below its half from rounding down.
double roundHalfAway(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double scaled = std::fabs(value) * scale + 1e-12;
  const double whole = std::floor(scaled);
  const double rounded = scaled - whole >= 0.5 ? whole + 1 : whole;
  return std::copysign(rounded / scale, value);
}

QString shortest(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.13g", value);
  return QString::fromLatin1(buffer);
}

}  // namespace

QString ByteCountText(qint64 size, bool wholeNumber) {
  const Unit unit = unitFor(size);
  const float value = unit.divisor > 0 ? float(double(size) / unit.divisor) : 0.0f;
  if (wholeNumber) return shortest(roundHalfAway(value, 0));
  return shortest(roundHalfAway(value, 1)) + QLatin1String(unit.letter);
}

}  // namespace pimrose
