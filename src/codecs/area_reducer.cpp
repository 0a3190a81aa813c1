#include "codecs/area_reducer.h"

#include <algorithm>

namespace pimrose {

AreaReducer::AreaReducer(QSize from, QSize to, bool alpha) : from_(from), to_(to), alpha_(alpha) {
  if (to.isEmpty() || to.width() > from.width() || to.height() > from.height() || from.width() > kMaxSide ||
      from.height() > kMaxSide)
    return;
  samples_ = alpha ? 4 : 3;
  // A source pixel is to.width() units wide, an output pixel from.width() units.
  const qint64 units = to.width(), outWidth = from.width();
  taps_ = int(std::min<qint64>((outWidth + units - 1) / units + 1, from.width()));
  firstPixel_.resize(size_t(to.width()));
  shares_.assign(size_t(to.width()) * size_t(taps_), 0.0f);
  for (qint64 column = 0; column < to.width(); ++column) {
    const qint64 left = column * outWidth, right = left + outWidth;
    const qint64 first = std::min(left / units, qint64(from.width() - taps_));
    firstPixel_[size_t(column)] = int(first);
    for (qint64 x = first; x < first + taps_; ++x) {
      const qint64 inside = std::min(right, (x + 1) * units) - std::max(left, x * units);
      if (inside > 0) shares_[size_t(column * taps_ + (x - first))] = float(inside) / float(outWidth);
    }
  }
  sums_.assign(size_t(from.width()) * size_t(samples_), 0.0f);
  next_ = sums_;
  out_ = QImage(to, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

void AreaReducer::sumDown(const uchar* row, int channels, std::vector<float>& sums, float share) const {
  if (share <= 0.0f) return;
  float* sum = sums.data();
  const qsizetype width = from_.width();
  if (alpha_) {
    for (qsizetype x = 0; x < width; ++x, row += 4, sum += 4) {
      const float weight = float(row[3]) * share;
      sum[0] += float(row[0]) * weight, sum[1] += float(row[1]) * weight, sum[2] += float(row[2]) * weight;
      sum[3] += weight;
    }
  } else if (channels == 3) {
    for (qsizetype i = 0; i < width * 3; ++i) sum[i] += float(row[i]) * share;
  } else {
    for (qsizetype x = 0; x < width; ++x, row += channels, sum += 3)
      sum[0] += float(row[0]) * share, sum[1] += float(row[1]) * share, sum[2] += float(row[2]) * share;
  }
}

// A source row is to.height() units tall and an output row from.height(): one straddling two
// output rows gives each its share.
void AreaReducer::addRow(const uchar* row, int channels) {
  if (!valid() || outRow_ >= to_.height() || channels < 3 || channels > 4 || (alpha_ && channels != 4))
    return;
  const qint64 start = qint64(rowsSeen_++) * to_.height(), end = start + to_.height();
  const qint64 boundary = qint64(outRow_ + 1) * from_.height();
  const float outHeight = float(from_.height());
  sumDown(row, channels, sums_, float(std::min(end, boundary) - start) / outHeight);
  if (end < boundary) return;
  sumDown(row, channels, next_, float(end - boundary) / outHeight);
  flushRow();
}

// Sums the finished row across and rounds each mean to the nearest value; with alpha the colours
// are premultiplied (their sums carry a factor of 255 from the weighting), kept within the alpha.
// The usual count of taps (a reduction by less than two) is known to the compiler, which unrolls it.
template <bool alpha, int fixedTaps>
void AreaReducer::sumAcross(QRgb* line) const {
  const int taps = fixedTaps > 0 ? fixedTaps : taps_;
  const int samples = alpha ? 4 : 3;
  const auto rounded = [](float value) { return std::clamp(int(value + 0.5f), 0, 255); };
  const float* share = shares_.data();
  for (int column = 0; column < to_.width(); ++column, share += taps) {
    const float* sum = &sums_[size_t(firstPixel_[size_t(column)]) * samples];
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
    for (int t = 0; t < taps; ++t, sum += samples) {
      r += sum[0] * share[t], g += sum[1] * share[t], b += sum[2] * share[t];
      if (alpha) a += sum[3] * share[t];
    }
    if (alpha) {
      const int opacity = rounded(a);
      line[column] = qRgba(std::min(opacity, rounded(r / 255.0f)), std::min(opacity, rounded(g / 255.0f)),
                           std::min(opacity, rounded(b / 255.0f)), opacity);
    } else {
      line[column] = qRgb(rounded(r), rounded(g), rounded(b));
    }
  }
}

void AreaReducer::flushRow() {
  auto* line = reinterpret_cast<QRgb*>(out_.scanLine(outRow_));
  if (alpha_)
    sumAcross<true, 0>(line);
  else if (taps_ == 3)
    sumAcross<false, 3>(line);
  else
    sumAcross<false, 0>(line);
  sums_.swap(next_);
  std::fill(next_.begin(), next_.end(), 0.0f);
  ++outRow_;
}

}  // namespace pimrose
