#pragma once

#include <cstddef>

// A codec library opened on first use instead of at the program's start: libheif and libjxl bring a
// dozen libraries with them (x265, aom, dav1d, de265, highway, brotli) whose loading and set-up cost
// every start some 10 ms of the main thread, for pictures most folders never hold.

namespace pimrose {

struct LibrarySymbol {
  const char* name;
  void** slot;  // where the function's address goes
};

// Opens `soname` (the library is kept for the rest of the run) and fills every slot; false, with the
// slots left as they were, when the library or one of its functions is missing.
bool bindSharedLibrary(const char* soname, const LibrarySymbol* symbols, std::size_t count);

// The table entry for one function of the library's own header: the slot is typed by the declaration.
#define PIMROSE_LIBRARY_SYMBOL(table, function)              \
  LibrarySymbol {                                            \
#function, reinterpret_cast < void**>(&(table).function) \
  }

}  // namespace pimrose
