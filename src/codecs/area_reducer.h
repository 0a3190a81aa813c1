#pragma once

#include <vector>

#include <QImage>

namespace pimrose {

// Shrinks a picture to any size within it while its rows stream past: each output pixel is the
// alpha-weighted mean of the source area it covers, a source pixel on its edge counted by the share
// that falls inside it, so no source pixel is counted twice or lost. The source rows are summed
// down first, at their full width (a loop the compiler does several samples at a time), and each
// finished output row is then summed across once. Only two rows of sums are held, nothing more of
// the source.
class AreaReducer {
 public:
  // Sides up to kMaxSide; `to` within `from` and not empty, else valid() is false.
  AreaReducer(QSize from, QSize to, bool alpha);
  static constexpr int kMaxSide = 16384;
  bool valid() const { return !out_.isNull(); }

  // One source row of 8-bit samples, `channels` of them a pixel (3: RGB, 4: RGBA, straight alpha;
  // with alpha off the fourth is skipped, with alpha on a row of 3 is refused); rows come top to
  // bottom, any beyond the last are ignored.
  void addRow(const uchar* row, int channels);
  // The reduced picture: Format_RGB32, or Format_ARGB32_Premultiplied with alpha.
  QImage result() const { return out_; }

 private:
  void sumDown(const uchar* row, int channels, std::vector<float>& sums, float share) const;
  template <bool alpha, int fixedTaps>
  void sumAcross(QRgb* line) const;
  void flushRow();

  QSize from_;
  QSize to_;
  bool alpha_;
  int samples_ = 3;  // kept a source pixel in the sums: r, g, b (and alpha, the colours premultiplied)
  int rowsSeen_ = 0;
  int outRow_ = 0;
  // Per output column, the first of the taps_ source pixels in a run that covers it, and each one's
  // share of its width (zero for pixels outside it): the same count for every column, so the loop
  // over them is one the processor predicts.
  int taps_ = 1;
  std::vector<int> firstPixel_;
  std::vector<float> shares_;
  std::vector<float> sums_;  // the current output row, summed down so far at the source's width
  std::vector<float> next_;  // the next one: what the source row straddling both gave it
  QImage out_;
};

}  // namespace pimrose
