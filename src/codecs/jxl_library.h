#pragma once

#include <jxl/decode.h>
#include <jxl/encode.h>  // JxlColorEncodingSetToSRGB

// The functions of libjxl the decoder calls, bound when the first JPEG XL picture needs them (see
// shared_library.h). Each member has its function's own name and type.

namespace pimrose {

struct JxlLibrary {
  decltype(&::JxlDecoderCreate) JxlDecoderCreate = nullptr;
  decltype(&::JxlDecoderDestroy) JxlDecoderDestroy = nullptr;
  decltype(&::JxlDecoderSubscribeEvents) JxlDecoderSubscribeEvents = nullptr;
  decltype(&::JxlDecoderSetInput) JxlDecoderSetInput = nullptr;
  decltype(&::JxlDecoderCloseInput) JxlDecoderCloseInput = nullptr;
  decltype(&::JxlDecoderProcessInput) JxlDecoderProcessInput = nullptr;
  decltype(&::JxlDecoderGetBasicInfo) JxlDecoderGetBasicInfo = nullptr;
  decltype(&::JxlDecoderSetProgressiveDetail) JxlDecoderSetProgressiveDetail = nullptr;
  decltype(&::JxlDecoderSetUnpremultiplyAlpha) JxlDecoderSetUnpremultiplyAlpha = nullptr;
  decltype(&::JxlDecoderSetPreferredColorProfile) JxlDecoderSetPreferredColorProfile = nullptr;
  decltype(&::JxlDecoderGetColorAsEncodedProfile) JxlDecoderGetColorAsEncodedProfile = nullptr;
  decltype(&::JxlDecoderGetICCProfileSize) JxlDecoderGetICCProfileSize = nullptr;
  decltype(&::JxlDecoderGetColorAsICCProfile) JxlDecoderGetColorAsICCProfile = nullptr;
  decltype(&::JxlDecoderImageOutBufferSize) JxlDecoderImageOutBufferSize = nullptr;
  decltype(&::JxlDecoderSetImageOutBuffer) JxlDecoderSetImageOutBuffer = nullptr;
  decltype(&::JxlDecoderGetIntendedDownsamplingRatio) JxlDecoderGetIntendedDownsamplingRatio = nullptr;
  decltype(&::JxlDecoderFlushImage) JxlDecoderFlushImage = nullptr;
  decltype(&::JxlColorEncodingSetToSRGB) JxlColorEncodingSetToSRGB = nullptr;
};

// libjxl, opened once (from any thread); null when it cannot be opened.
const JxlLibrary* jxlLibrary();

}  // namespace pimrose
