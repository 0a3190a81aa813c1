#include "codecs/jpeg_error_trap.h"

#include <jerror.h>

namespace pimrose {
namespace {

JpegErrorTrap& trapOf(j_common_ptr cinfo) {
  return *reinterpret_cast<JpegErrorTrap*>(cinfo->err);
}

[[noreturn]] void jumpOut(j_common_ptr cinfo) {
  (*cinfo->err->format_message)(cinfo, trapOf(cinfo).message);
  std::longjmp(trapOf(cinfo).jump, 1);
}

void noteWarning(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) trapOf(cinfo).endedEarly = true;
}

}  // namespace

void JpegErrorTrap::attach(jpeg_decompress_struct& cinfo) {
  cinfo.err = jpeg_std_error(&manager);
  manager.error_exit = jumpOut;
  manager.emit_message = noteWarning;
}

}  // namespace pimrose
