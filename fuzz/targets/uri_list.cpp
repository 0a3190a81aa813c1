// The drop's text/uri-list, read from raw bytes.
#include "browsing/uri_list.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes = pimrose::fuzz::bytesOf(data, size);
  for (const QString& path : pimrose::localPathsFromUriList(bytes))
    if (path.isEmpty() || path.contains(QChar(0))) __builtin_trap();  // never an empty or zero-holding path
  pimrose::localPathFromFileUri(bytes);
  return 0;
}
