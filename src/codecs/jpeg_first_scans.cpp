// The DC-only decode of progressive JPEGs. A progressive file sends the DC coefficient of every
// 8x8 block first; a 1/8-scale picture needs nothing else, so the rest of the file (most of the
// decoding cost) is never entropy-decoded.

#include "codecs/jpeg_decode.h"
#include "codecs/jpeg_error_trap.h"
#include "codecs/jpeg_header.h"

namespace pimrose {
namespace {

bool allDcKnown(const jpeg_decompress_struct& cinfo) {
  if (!cinfo.coef_bits) return false;
  for (int c = 0; c < cinfo.num_components; ++c)
    if (cinfo.coef_bits[c][0] < 0) return false;
  return true;
}

// Reads scans until every component's DC scan is complete; answers the scan to show.
int consumeDcScans(jpeg_decompress_struct& cinfo) {
  bool dcStarted = false;
  for (;;) {
    const int status = jpeg_consume_input(&cinfo);
    if (status == JPEG_REACHED_EOI || status == JPEG_SUSPENDED) return cinfo.input_scan_number;
    if (status != JPEG_REACHED_SOS) continue;
    // A new scan has begun, so every earlier scan is fully read.
    if (dcStarted) return cinfo.input_scan_number - 1;
    dcStarted = allDcKnown(cinfo);
  }
}

bool readRows(jpeg_decompress_struct& cinfo, QImage& image) {
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = image.scanLine(int(cinfo.output_scanline));
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
  }
  return true;
}

// Every object that lives across the setjmp is owned by the caller, so a jump skips no destructor.
bool decodeWithTrap(jpeg_decompress_struct& cinfo, JpegErrorTrap& trap, QByteArrayView data, QImage& image) {
  if (setjmp(trap.jump)) return false;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.data()),
               static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK || !cinfo.progressive_mode) return false;
  if (cinfo.jpeg_color_space != JCS_YCbCr && cinfo.jpeg_color_space != JCS_GRAYSCALE) return false;
  cinfo.buffered_image = TRUE;
  cinfo.do_block_smoothing = FALSE;
  cinfo.scale_num = 1;
  cinfo.scale_denom = 8;
  cinfo.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
  jpeg_start_decompress(&cinfo);
  jpeg_start_output(&cinfo, consumeDcScans(cinfo));
  image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
  if (image.isNull() || !readRows(cinfo, image)) return false;
  jpeg_finish_output(&cinfo);
  return true;
}

}  // namespace

QImage decodeJpegFirstScans(QByteArrayView data) {
  const std::optional<JpegHeader> header = readJpegHeader(data);
  return header ? decodeJpegFirstScans(data, *header) : QImage();
}

QImage decodeJpegFirstScans(QByteArrayView data, const JpegHeader& header) {
  if (!header.progressive || exceedsCoefficientLimit(header)) return {};
  jpeg_decompress_struct cinfo{};
  JpegErrorTrap trap{};
  trap.attach(cinfo);
  QImage image;
  const bool ok = decodeWithTrap(cinfo, trap, data, image);
  jpeg_destroy_decompress(&cinfo);
  // Running out of data before the DC scans are complete leaves part of the picture out: the
  // whole decode shows what there is instead.
  return ok && !trap.endedEarly ? image : QImage();
}

}  // namespace pimrose
