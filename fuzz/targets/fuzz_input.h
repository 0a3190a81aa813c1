#pragma once

#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QByteArrayView>

// Every target answers libFuzzer's entry point; the replay program calls the same function with
// the stored corpus and regression files, so a crash found once stays tested.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace pimrose::fuzz {

inline QByteArrayView bytesOf(const uint8_t* data, size_t size) {
  return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

}  // namespace pimrose::fuzz
