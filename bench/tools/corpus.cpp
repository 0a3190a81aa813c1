#include "tools/corpus.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

#include "codecs/gif_encode.h"
#include "tools/camera_exif.h"
#include "tools/display_p3.h"
#include "tools/jpeg_encode.h"
#include "tools/synthetic_photo.h"

namespace pimrose::bench {
namespace {

namespace fs = std::filesystem;

bool writeFile(const fs::path& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), std::streamsize(size));
  return bool(out);
}

QImage toQImage(const RgbPicture& picture) {
  return QImage(picture.pixels.data(), picture.width, picture.height, picture.width * 3,
                QImage::Format_RGB888)
      .copy();
}

// The 160x120 preview a camera embeds (letterboxed by nothing: the corpus pictures are 4:3).
std::vector<std::uint8_t> cameraPreview(const RgbPicture& picture) {
  const QImage small = toQImage(picture)
                           .scaled(160, 120, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_RGB888);
  RgbPicture preview{small.width(), small.height(), {}};
  for (int y = 0; y < small.height(); ++y)
    preview.pixels.insert(preview.pixels.end(), small.constScanLine(y),
                          small.constScanLine(y) + small.width() * 3);
  return encodeJpeg(preview, 85);
}

// Camera photos carry an Exif preview; "p3" photos a Display P3 profile, their pixels the same.
bool writeJpeg(const fs::path& path, const RgbPicture& picture, const std::string& kind = "jpg") {
  std::vector<std::uint8_t> jpeg = encodeJpeg(picture, 90);
  if (kind == "camera" && !jpeg.empty()) jpeg = withCameraPreview(jpeg, cameraPreview(picture));
  if (kind == "p3" && !jpeg.empty()) jpeg = withIccProfile(jpeg, displayP3Profile());
  return !jpeg.empty() && writeFile(path, jpeg.data(), jpeg.size());
}

bool writeQt(const fs::path& path, const RgbPicture& picture, const char* format) {
  QByteArray bytes;
  if (std::string(format) == "gif") {
    bytes = encodeGif(toQImage(picture));
  } else {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(toQImage(picture));
  }
  return !bytes.isEmpty() && writeFile(path, bytes.constData(), size_t(bytes.size()));
}

std::string numbered(const char* stem, int index, const char* extension) {
  char name[64];
  std::snprintf(name, sizeof name, "%s-%03d.%s", stem, index, extension);
  return name;
}

// A folder is made under a temporary name and renamed when complete, so an interrupted run
// never leaves a folder that looks finished.
bool makeFolder(const fs::path& folder, const std::function<bool(const fs::path&)>& fill) {
  if (fs::exists(folder)) return true;
  const fs::path partial = folder.string() + ".partial";
  fs::remove_all(partial);
  fs::create_directories(partial);
  if (!fill(partial)) return false;
  fs::rename(partial, folder);
  std::printf("made %s\n", folder.c_str());
  return true;
}

bool makePictures(const fs::path& folder, int count, int width, int height, std::uint32_t seedBase,
                  const char* extension, Grain grain = Grain::Camera) {
  return makeFolder(folder, [&](const fs::path& into) {
    for (int i = 0; i < count; ++i) {
      const RgbPicture picture = syntheticPhoto(width, height, seedBase + std::uint32_t(i), grain);
      const std::string type = extension;
      const bool jpeg = type == "jpg" || type == "camera" || type == "p3";  // the last two: tagged JPEGs
      const fs::path path =
          into / numbered(type == "camera" ? "camera" : "photo", i, jpeg ? "jpg" : extension);
      const bool ok = jpeg ? writeJpeg(path, picture, type) : writeQt(path, picture, extension);
      if (!ok) return false;
    }
    return true;
  });
}

std::vector<fs::path> sortedFiles(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

bool makeLinks(const fs::path& folder, const fs::path& source, int count) {
  return makeFolder(folder, [&](const fs::path& into) {
    const std::vector<fs::path> originals = sortedFiles(source);
    if (originals.empty()) return false;
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "IMG_%06d.jpg", i);
      fs::create_hard_link(originals[size_t(i) % originals.size()], into / name);
    }
    return true;
  });
}

bool makeTree(const fs::path& folder, int count) {
  static constexpr const char* kExtensions[] = {".jpg", ".PNG", ".gif", ".txt", ".jpeg"};
  return makeFolder(folder, [&](const fs::path& into) {
    const int perFolder = std::max(1, count / 1000);
    for (int i = 0; i < count; ++i) {
      const int folderIndex = i / perFolder;
      const fs::path sub =
          into / ("album " + std::to_string(folderIndex / 10)) / ("day" + std::to_string(folderIndex % 10));
      if (i % perFolder == 0) fs::create_directories(sub);
      std::ofstream(sub / ("IMG_" + std::to_string(i % perFolder) + kExtensions[i % 5]));
    }
    return true;
  });
}

}  // namespace

// Each distinct count is its own folder, so the quick and full corpora live side by side.
bool makeCorpus(const CorpusPlan& o) {
  const fs::path photos = o.dir / ("photos-" + std::to_string(o.photos));
  const fs::path small = o.dir / ("small-" + std::to_string(o.small));
  bool ok = makePictures(photos, o.photos, o.photoWidth, o.photoHeight, 1000, "jpg") &&
            makePictures(o.dir / ("pngs-" + std::to_string(o.pngs)), o.pngs, 1920, 1080, 2000, "png") &&
            makePictures(o.dir / ("gifs-" + std::to_string(o.gifs)), o.gifs, 1920, 1080, 3000, "gif") &&
            makePictures(small, o.small, 400, 300, 4000, "jpg");
  if (ok && o.smooth > 0)
    ok = makePictures(o.dir / ("smooth-" + std::to_string(o.smooth)), o.smooth, 1920, 1080, 5000, "png",
                      Grain::None);
  for (const int count : o.drops)
    if (ok && count > 0) ok = makeLinks(o.dir / ("drop-" + std::to_string(count)), photos, count);
  for (const int count : o.rss)
    if (ok && count > 0) ok = makeLinks(o.dir / ("rss-" + std::to_string(count)), small, count);
  if (ok && o.tree > 0) ok = makeTree(o.dir / ("tree-" + std::to_string(o.tree)), o.tree);
  if (ok && o.p3 > 0)
    ok = makePictures(o.dir / ("p3-photos-" + std::to_string(o.p3)), o.p3, o.photoWidth, o.photoHeight, 1000,
                      "p3");
  if (ok && o.cameras > 0) {
    const fs::path cameras = o.dir / ("cameras-" + std::to_string(o.cameras));
    ok = makePictures(cameras, o.cameras, o.photoWidth, o.photoHeight, 1000, "camera");
    if (ok && o.cameraDrop > 0)
      ok = makeLinks(o.dir / ("camera-drop-" + std::to_string(o.cameraDrop)), cameras, o.cameraDrop);
  }
  return ok;
}

}  // namespace pimrose::bench
