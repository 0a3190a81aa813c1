#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace pimrose {

// libjpeg's errors and warnings, caught: an error jumps back to the caller's setjmp on `jump`
// (libjpeg would otherwise end the process), a warning is only noted, and nothing is printed.
// TurboJPEG cannot tell the two apart once a warning has come first (its error code then says
// "warning" for an error that left the picture half written); this can.
struct JpegErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  bool endedEarly = false;  // the data ran out before the picture did
  char message[JMSG_LENGTH_MAX] = {};

  // Makes the trap `cinfo`'s error manager; call before jpeg_create_decompress.
  void attach(jpeg_decompress_struct& cinfo);
};

}  // namespace pimrose
