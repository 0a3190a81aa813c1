// The tray icon's .ico file read from raw bytes: its directory and each image it points at.
#include <optional>

#include "fuzz_input.h"
#include "shell/ico_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes = pimrose::fuzz::bytesOf(data, size);
  for (int index = 0; index < 8; ++index) {
    const std::optional<pimrose::IcoEntry> entry = pimrose::icoEntryAt(bytes, index);
    if (!entry) continue;
    if (entry->imageBytes.size() > bytes.size()) __builtin_trap();  // an entry lies inside the file
    pimrose::decodeIcoImage(entry->imageBytes);
  }
  pimrose::decodeIcoImage(bytes);  // the image bytes alone, as a damaged entry may hold them
  return 0;
}
