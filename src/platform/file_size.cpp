#include "platform/file_size.h"

#include <sys/stat.h>

#include "text/file_names.h"

namespace pimrose {

qint64 FileSizeOf(const QString& path) {
  if (path.isEmpty()) return 0;
  struct stat info {};
  if (stat(encodeFileName(path).constData(), &info) != 0) return 0;
  return S_ISDIR(info.st_mode) ? 0 : qint64(info.st_size);
}

}  // namespace pimrose
