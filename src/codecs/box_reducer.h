#pragma once

#include <vector>

#include <QImage>

namespace pimrose {

// Shrinks a picture by a whole factor while its rows stream past: each output pixel is the
// alpha-weighted mean of a factor x factor box (the boxes on the right and bottom edges may be
// smaller). Only one output row of sums is held, so a huge picture costs one row of memory.
class BoxReducer {
 public:
  BoxReducer(int width, int height, int factor);

  // One source row of RGBA bytes (8 bits each, straight alpha); rows come top to bottom.
  void addRow(const uchar* rgba);
  // A fully transparent row: it adds nothing to the sums, so only the row is counted. A tall,
  // mostly empty canvas then costs its painted rows, not its area.
  void addClearRow();
  // Clear rows for every row not added: a picture cut short shows what it held.
  void addClearRowsToEnd();
  // The reduced picture, Format_ARGB32_Premultiplied; null if it could not be allocated.
  QImage result() const { return out_; }

  static int outputSide(int side, int factor) { return (side + factor - 1) / factor; }
  // The largest whole factor that still leaves `atLeast` covered (1 for an empty `atLeast`).
  static int factorCovering(QSize stored, QSize atLeast);

 private:
  void flushBand();

  int width_;
  int height_;
  int factor_;
  int rowsSeen_ = 0;
  int rowsInBand_ = 0;
  int outRow_ = 0;
  std::vector<quint64> sums_;  // premultiplied r, g, b and alpha per output column
  QImage out_;
};

}  // namespace pimrose
