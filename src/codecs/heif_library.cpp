#include "codecs/heif_library.h"

#include <array>

#include "codecs/shared_library.h"

namespace pimrose {
namespace {

bool bind(HeifLibrary& l) {
  const std::array symbols{
      PIMROSE_LIBRARY_SYMBOL(l, heif_init),
      PIMROSE_LIBRARY_SYMBOL(l, heif_have_decoder_for_format),
      PIMROSE_LIBRARY_SYMBOL(l, heif_context_alloc),
      PIMROSE_LIBRARY_SYMBOL(l, heif_context_free),
      PIMROSE_LIBRARY_SYMBOL(l, heif_context_set_max_decoding_threads),
      PIMROSE_LIBRARY_SYMBOL(l, heif_context_set_maximum_image_size_limit),
      PIMROSE_LIBRARY_SYMBOL(l, heif_context_read_from_memory_without_copy),
      PIMROSE_LIBRARY_SYMBOL(l, heif_context_get_primary_image_handle),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_release),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_width),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_height),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_ispe_width),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_ispe_height),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_has_alpha_channel),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_is_premultiplied_alpha),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_number_of_thumbnails),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_list_of_thumbnail_IDs),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_thumbnail),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_color_profile_type),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_raw_color_profile_size),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_raw_color_profile),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_handle_get_nclx_color_profile),
      PIMROSE_LIBRARY_SYMBOL(l, heif_nclx_color_profile_free),
      PIMROSE_LIBRARY_SYMBOL(l, heif_decoding_options_alloc),
      PIMROSE_LIBRARY_SYMBOL(l, heif_decoding_options_free),
      PIMROSE_LIBRARY_SYMBOL(l, heif_decode_image),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_release),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_get_plane),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_get_width),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_get_height),
      PIMROSE_LIBRARY_SYMBOL(l, heif_image_get_bits_per_pixel),
  };
  return bindSharedLibrary(PIMROSE_LIBHEIF_SONAME, symbols.data(), symbols.size());
}

}  // namespace

const HeifLibrary* heifLibrary() {
  // libheif registers its codecs once; it is never undone while the program runs.
  static const HeifLibrary* const library = [] {
    static HeifLibrary bound;
    if (!bind(bound)) return static_cast<const HeifLibrary*>(nullptr);
    bound.heif_init(nullptr);
    return static_cast<const HeifLibrary*>(&bound);
  }();
  return library;
}

}  // namespace pimrose
