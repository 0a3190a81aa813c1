// The JPEG header walker and the EXIF reader, in memory and from a file (the seeking walker that
// measures pictures whose frame header lies beyond the first read).
#include <sys/mman.h>
#include <unistd.h>

#include <QString>

#include "codecs/exif.h"
#include "codecs/jpeg_header.h"
#include "codecs/picture_header.h"
#include "codecs/picture_size.h"
#include "fuzz_input.h"

namespace {

// One in-memory file per process, rewritten for every input.
QString memoryFilePath() {
  static const int fd = ::memfd_create("pimrose-fuzz", 0);
  return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

void writeMemoryFile(QByteArrayView bytes) {
  const QByteArray path = memoryFilePath().toUtf8();
  if (::truncate(path.constData(), 0) != 0) return;
  const int fd = memoryFilePath().section(QLatin1Char('/'), -1).toInt();
  qsizetype written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + written, size_t(bytes.size() - written), off_t(written));
    if (n <= 0) return;
    written += n;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes = pimrose::fuzz::bytesOf(data, size);
  if (const auto header = pimrose::readJpegHeader(bytes)) {
    // The preview view must lie inside the input.
    if (!header->exif.preview.isEmpty() &&
        (header->exif.preview.data() < bytes.data() ||
         header->exif.preview.data() + header->exif.preview.size() > bytes.data() + bytes.size()))
      __builtin_trap();
  }
  pimrose::parseExif(bytes);
  // The same bytes behind a JPEG start, and big enough that the file walker takes over.
  QByteArray file("\xFF\xD8", 2);
  file.append("\xFF\xE2\xFF\xFF", 4).append(QByteArray(0xFFFD, 'p')).append(bytes);
  writeMemoryFile(file);
  const QSize fromFile = pimrose::pictureSize(memoryFilePath());
  const auto inMemory = pimrose::readPictureHeader(file);
  const QSize expected = inMemory ? inMemory->upright() : QSize(0, 0);
  if (fromFile != expected) __builtin_trap();  // the two walkers must agree
  return 0;
}
