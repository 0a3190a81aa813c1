#include "codecs/shared_library.h"

#include <dlfcn.h>

#include <vector>

namespace pimrose {

bool bindSharedLibrary(const char* soname, const LibrarySymbol* symbols, std::size_t count) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (!library) return false;
  std::vector<void*> found(count);
  for (std::size_t i = 0; i < count; ++i)
    if (!(found[i] = dlsym(library, symbols[i].name))) return false;
  for (std::size_t i = 0; i < count; ++i) *symbols[i].slot = found[i];
  return true;
}

}  // namespace pimrose
