#pragma once

#include <cstddef>

namespace pimrose {

// The two picture lists of the browser: the pictures of the open folders and the search results.
enum class ListId : unsigned char { Files = 0, Search = 1 };

inline constexpr std::size_t kListCount = 2;

// The list's position in an array of one entry per list.
constexpr std::size_t listSlot(ListId list) {
  return static_cast<std::size_t>(list);
}

}  // namespace pimrose
