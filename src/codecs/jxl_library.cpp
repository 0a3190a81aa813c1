#include "codecs/jxl_library.h"

#include <array>

#include "codecs/shared_library.h"

namespace pimrose {
namespace {

bool bind(JxlLibrary& l) {
  const std::array symbols{
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderCreate),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderDestroy),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderSubscribeEvents),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderSetInput),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderCloseInput),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderProcessInput),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderGetBasicInfo),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderSetProgressiveDetail),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderSetUnpremultiplyAlpha),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderSetPreferredColorProfile),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderGetColorAsEncodedProfile),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderGetICCProfileSize),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderGetColorAsICCProfile),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderImageOutBufferSize),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderSetImageOutBuffer),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderGetIntendedDownsamplingRatio),
      PIMROSE_LIBRARY_SYMBOL(l, JxlDecoderFlushImage),
      PIMROSE_LIBRARY_SYMBOL(l, JxlColorEncodingSetToSRGB),
  };
  return bindSharedLibrary(PIMROSE_LIBJXL_SONAME, symbols.data(), symbols.size());
}

}  // namespace

const JxlLibrary* jxlLibrary() {
  static const JxlLibrary* const library = [] {
    static JxlLibrary bound;
    return bind(bound) ? static_cast<const JxlLibrary*>(&bound) : nullptr;
  }();
  return library;
}

}  // namespace pimrose
