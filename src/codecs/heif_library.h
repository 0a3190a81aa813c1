#pragma once

#include <libheif/heif.h>

// The functions of libheif the decoder calls, bound when the first HEIF or AVIF picture needs them
// (see shared_library.h). Each member has its function's own name and type.

namespace pimrose {

struct HeifLibrary {
  decltype(&::heif_init) heif_init = nullptr;
  decltype(&::heif_have_decoder_for_format) heif_have_decoder_for_format = nullptr;
  decltype(&::heif_context_alloc) heif_context_alloc = nullptr;
  decltype(&::heif_context_free) heif_context_free = nullptr;
  decltype(&::heif_context_set_max_decoding_threads) heif_context_set_max_decoding_threads = nullptr;
  decltype(&::heif_context_set_maximum_image_size_limit) heif_context_set_maximum_image_size_limit = nullptr;
  decltype(&::heif_context_read_from_memory_without_copy) heif_context_read_from_memory_without_copy =
      nullptr;
  decltype(&::heif_context_get_primary_image_handle) heif_context_get_primary_image_handle = nullptr;
  decltype(&::heif_image_handle_release) heif_image_handle_release = nullptr;
  decltype(&::heif_image_handle_get_width) heif_image_handle_get_width = nullptr;
  decltype(&::heif_image_handle_get_height) heif_image_handle_get_height = nullptr;
  decltype(&::heif_image_handle_get_ispe_width) heif_image_handle_get_ispe_width = nullptr;
  decltype(&::heif_image_handle_get_ispe_height) heif_image_handle_get_ispe_height = nullptr;
  decltype(&::heif_image_handle_has_alpha_channel) heif_image_handle_has_alpha_channel = nullptr;
  decltype(&::heif_image_handle_is_premultiplied_alpha) heif_image_handle_is_premultiplied_alpha = nullptr;
  decltype(&::heif_image_handle_get_number_of_thumbnails) heif_image_handle_get_number_of_thumbnails =
      nullptr;
  decltype(&::heif_image_handle_get_list_of_thumbnail_IDs) heif_image_handle_get_list_of_thumbnail_IDs =
      nullptr;
  decltype(&::heif_image_handle_get_thumbnail) heif_image_handle_get_thumbnail = nullptr;
  decltype(&::heif_image_handle_get_color_profile_type) heif_image_handle_get_color_profile_type = nullptr;
  decltype(&::heif_image_handle_get_raw_color_profile_size) heif_image_handle_get_raw_color_profile_size =
      nullptr;
  decltype(&::heif_image_handle_get_raw_color_profile) heif_image_handle_get_raw_color_profile = nullptr;
  decltype(&::heif_image_handle_get_nclx_color_profile) heif_image_handle_get_nclx_color_profile = nullptr;
  decltype(&::heif_nclx_color_profile_free) heif_nclx_color_profile_free = nullptr;
  decltype(&::heif_decoding_options_alloc) heif_decoding_options_alloc = nullptr;
  decltype(&::heif_decoding_options_free) heif_decoding_options_free = nullptr;
  decltype(&::heif_decode_image) heif_decode_image = nullptr;
  decltype(&::heif_image_release) heif_image_release = nullptr;
  decltype(&::heif_image_get_plane) heif_image_get_plane = nullptr;
  decltype(&::heif_image_get_width) heif_image_get_width = nullptr;
  decltype(&::heif_image_get_height) heif_image_get_height = nullptr;
  decltype(&::heif_image_get_bits_per_pixel) heif_image_get_bits_per_pixel = nullptr;
};

// libheif, opened and initialised once (from any thread); null when it cannot be opened.
const HeifLibrary* heifLibrary();

}  // namespace pimrose
