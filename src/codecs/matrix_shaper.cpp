#include "codecs/matrix_shaper.h"

#include <algorithm>
#include <cmath>

namespace pimrose {
namespace {

// Linear light is looked up in this many steps: the darkest sRGB step spans about three of them.
constexpr int kSteps = 16384;

using Matrix = std::array<double, 9>;

// Linear RGB to PCS XYZ: the colorants are the columns.
std::optional<Matrix> colorants(cmsHPROFILE profile) {
  const auto* r = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, cmsSigRedColorantTag));
  const auto* g = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, cmsSigGreenColorantTag));
  const auto* b = static_cast<const cmsCIEXYZ*>(cmsReadTag(profile, cmsSigBlueColorantTag));
  if (!r || !g || !b) return std::nullopt;
  return Matrix{r->X, g->X, b->X, r->Y, g->Y, b->Y, r->Z, g->Z, b->Z};
}

std::optional<Matrix> inverted(const Matrix& m) {
  const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                     m[2] * (m[3] * m[7] - m[4] * m[6]);
  if (!std::isfinite(det) || std::abs(det) < 1e-9) return std::nullopt;
  return Matrix{(m[4] * m[8] - m[5] * m[7]) / det, (m[2] * m[7] - m[1] * m[8]) / det,
                (m[1] * m[5] - m[2] * m[4]) / det, (m[5] * m[6] - m[3] * m[8]) / det,
                (m[0] * m[8] - m[2] * m[6]) / det, (m[2] * m[3] - m[0] * m[5]) / det,
                (m[3] * m[7] - m[4] * m[6]) / det, (m[1] * m[6] - m[0] * m[7]) / det,
                (m[0] * m[4] - m[1] * m[3]) / det};
}

Matrix product(const Matrix& a, const Matrix& b) {
  Matrix out{};
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      for (int k = 0; k < 3; ++k) out[row * 3 + column] += a[row * 3 + k] * b[k * 3 + column];
  return out;
}

bool isMatrixShaperRgb(cmsHPROFILE profile) {
  return cmsGetColorSpace(profile) == cmsSigRgbData && cmsIsMatrixShaper(profile);
}

double srgbEncoded(double linear) {
  return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

int unpremultiplied(int colour, int alpha) {
  return std::min(255, (colour * 255 + alpha / 2) / alpha);
}

}  // namespace

std::optional<MatrixShaperConversion> MatrixShaperConversion::between(cmsHPROFILE source, cmsHPROFILE srgb) {
  if (!isMatrixShaperRgb(source) || !isMatrixShaperRgb(srgb)) return std::nullopt;
  const std::optional<Matrix> from = colorants(source), to = colorants(srgb);
  const std::optional<Matrix> back = to ? inverted(*to) : std::nullopt;
  if (!from || !back) return std::nullopt;
  MatrixShaperConversion conversion;
  const cmsTagSignature curves[3] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
  for (int c = 0; c < 3; ++c) {
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(source, curves[c]));
    if (!curve) return std::nullopt;
    for (int v = 0; v < 256; ++v) {
      const float linear = cmsEvalToneCurveFloat(curve, float(v) / 255.0f);
      if (!std::isfinite(linear)) return std::nullopt;
      conversion.linear_[size_t(c)][size_t(v)] = linear;
    }
  }
  const Matrix m = product(*back, *from);
  for (size_t i = 0; i < m.size(); ++i) conversion.matrix_[i] = float(m[i]);
  conversion.encoded_.resize(kSteps + 1);
  for (int i = 0; i <= kSteps; ++i)
    conversion.encoded_[size_t(i)] = uchar(std::lround(255 * srgbEncoded(double(i) / kSteps)));
  return conversion;
}

void MatrixShaperConversion::convert(int& r, int& g, int& b) const {
  const float lr = linear_[0][size_t(r)], lg = linear_[1][size_t(g)], lb = linear_[2][size_t(b)];
  const auto encode = [this](float v) {
    const int step = int(std::clamp(v, 0.0f, 1.0f) * kSteps + 0.5f);
    return int(encoded_[size_t(step)]);
  };
  const float* m = matrix_.data();
  r = encode(m[0] * lr + m[1] * lg + m[2] * lb);
  g = encode(m[3] * lr + m[4] * lg + m[5] * lb);
  b = encode(m[6] * lr + m[7] * lg + m[8] * lb);
}

void MatrixShaperConversion::convertWords(QImage& image, bool premultiplied) const {
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      const int a = qAlpha(p);
      if (premultiplied && a == 0) continue;
      const bool scaled = premultiplied && a < 255;
      int r = scaled ? unpremultiplied(qRed(p), a) : qRed(p);
      int g = scaled ? unpremultiplied(qGreen(p), a) : qGreen(p);
      int b = scaled ? unpremultiplied(qBlue(p), a) : qBlue(p);
      convert(r, g, b);
      line[x] = scaled ? qPremultiply(qRgba(r, g, b, a)) : qRgba(r, g, b, a);
    }
  }
}

void MatrixShaperConversion::convertBytes(QImage& image, bool premultiplied) const {
  for (int y = 0; y < image.height(); ++y) {
    uchar* p = image.scanLine(y);
    for (int x = 0; x < image.width(); ++x, p += 4) {
      const int a = p[3];
      if (premultiplied && a == 0) continue;
      const bool scaled = premultiplied && a < 255;
      int r = scaled ? unpremultiplied(p[0], a) : p[0];
      int g = scaled ? unpremultiplied(p[1], a) : p[1];
      int b = scaled ? unpremultiplied(p[2], a) : p[2];
      convert(r, g, b);
      p[0] = uchar(scaled ? (r * a + 127) / 255 : r);
      p[1] = uchar(scaled ? (g * a + 127) / 255 : g);
      p[2] = uchar(scaled ? (b * a + 127) / 255 : b);
    }
  }
}

}  // namespace pimrose
