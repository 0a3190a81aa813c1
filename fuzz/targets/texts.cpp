// Byte-count and duration texts: any count, any number of seconds, any pattern.
#include <cstring>

#include "fuzz_input.h"
#include "text/byte_count_text.h"
#include "time_texts/duration_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 9) return -1;
  qint64 count = 0;
  std::memcpy(&count, data, sizeof count);
  const bool flag = data[8] & 1;
  pimrose::ByteCountText(count, flag);
  qint32 seconds = 0;
  std::memcpy(&seconds, data, sizeof seconds);
  const QString pattern = QString::fromUtf8(pimrose::fuzz::bytesOf(data + 9, size - 9));
  pimrose::DurationText(seconds, pattern, flag);
  pimrose::ZeroPad(pattern, int(data[8]) - 8);
  return 0;
}
