// Thumbnail cost per picture beside a reference measured in the same run: the raw TurboJPEG
// scaled decode for JPEG, a plain full libpng / giflib decode for PNG and GIF. Compare
// JpegThumbnail with JpegReference at the same width (target <= 1.15x) and Measure* with the full
// decodes (target < 1%).

#include <random>
#include <vector>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>
#include <turbojpeg.h>

#include "codecs/gif_encode.h"
#include "codecs/picture_size.h"
#include "thumbnails/load_thumbnail.h"

namespace {

// Noise, gradients and edges: a flat picture decodes several times faster and would flatter us.
QImage photographic(int width, int height) {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> noise(-35, 35);
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int edge = ((x / 97 + y / 61) % 2) * 50;
      const auto c = [&](int base) { return std::clamp(base + edge + noise(random), 0, 255); };
      line[x] = qRgb(c(x * 160 / width), c(y * 160 / height), c((x ^ y) & 0x7F));
    }
  }
  return image;
}

QString cached(const QString& name, const std::function<QByteArray()>& make) {
  const QString dir = QDir::tempPath() + QStringLiteral("/pimrose-bench");
  QDir().mkpath(dir);
  const QString path = dir + QLatin1Char('/') + name;
  if (!QFile::exists(path)) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(make());
  }
  return path;
}

QByteArray encoded(const QImage& image, const char* format) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setQuality(90);
  writer.write(image);
  return out;
}

const QString& jpegPath() {
  static const QString path =
      cached(QStringLiteral("photo-4000x3000.jpg"), [] { return encoded(photographic(4000, 3000), "jpeg"); });
  return path;
}
const QString& pngPath() {
  static const QString path =
      cached(QStringLiteral("photo-1920x1080.png"), [] { return encoded(photographic(1920, 1080), "png"); });
  return path;
}
const QString& gifPath() {
  static const QString path = cached(QStringLiteral("photo-1920x1080.gif"),
                                     [] { return pimrose::encodeGif(photographic(1920, 1080)); });
  return path;
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void thumbnail(benchmark::State& state, const QString& path) {
  const int width = int(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(pimrose::loadThumbnail(path, width, false).image);
}

void BM_JpegThumbnail(benchmark::State& state) {
  thumbnail(state, jpegPath());
}
void BM_PngThumbnail(benchmark::State& state) {
  thumbnail(state, pngPath());
}
void BM_GifThumbnail(benchmark::State& state) {
  thumbnail(state, gifPath());
}

// The file read plus TurboJPEG's own decode at the smallest scale that still covers the width.
void BM_JpegReference(benchmark::State& state) {
  const int target = int(state.range(0));
  tjhandle handle = tjInitDecompress();
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  tjscalingfactor scale{1, 1};
  for (int i = 0; i < count; ++i)
    if (factors[i].num <= factors[i].denom && TJSCALED(4000, factors[i]) >= target &&
        TJSCALED(4000, factors[i]) < TJSCALED(4000, scale))
      scale = factors[i];
  std::vector<uchar> pixels(size_t(TJSCALED(4000, scale)) * size_t(TJSCALED(3000, scale)) * 4);
  for (auto _ : state) {
    const QByteArray bytes = readAll(jpegPath());
    tjDecompress2(handle, reinterpret_cast<const uchar*>(bytes.data()), qulonglong(bytes.size()),
                  pixels.data(), TJSCALED(4000, scale), 0, TJSCALED(3000, scale), TJPF_BGRA, 0);
  }
  tjDestroy(handle);
}

void BM_PngReferenceFullDecode(benchmark::State& state) {
  for (auto _ : state) {
    const QByteArray bytes = readAll(pngPath());
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, bytes.data(), size_t(bytes.size()));
    image.format = PNG_FORMAT_BGRA;
    std::vector<uchar> pixels(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
  }
}

int readGif(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<QBuffer*>(gif->UserData);
  return int(source->read(reinterpret_cast<char*>(out), length));
}

void BM_GifReferenceFullDecode(benchmark::State& state) {
  for (auto _ : state) {
    QByteArray bytes = readAll(gifPath());
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    int error = 0;
    GifFileType* gif = DGifOpen(&buffer, readGif, &error);
    DGifSlurp(gif);
    DGifCloseFile(gif, &error);
  }
}

void measure(benchmark::State& state, const QString& path) {
  for (auto _ : state) benchmark::DoNotOptimize(pimrose::pictureSize(path));
}
void BM_MeasureJpeg(benchmark::State& state) {
  measure(state, jpegPath());
}
void BM_MeasurePng(benchmark::State& state) {
  measure(state, pngPath());
}
void BM_MeasureGif(benchmark::State& state) {
  measure(state, gifPath());
}

void BM_JpegReferenceFullDecode(benchmark::State& state) {
  state.SetLabel("full-size TurboJPEG decode, the base of MeasureJpeg");
  tjhandle handle = tjInitDecompress();
  std::vector<uchar> pixels(size_t(4000) * 3000 * 4);
  for (auto _ : state) {
    const QByteArray bytes = readAll(jpegPath());
    tjDecompress2(handle, reinterpret_cast<const uchar*>(bytes.data()), qulonglong(bytes.size()),
                  pixels.data(), 4000, 0, 3000, TJPF_BGRA, 0);
  }
  tjDestroy(handle);
}

}  // namespace

BENCHMARK(BM_JpegReference)->Arg(150)->Arg(270)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegThumbnail)->Arg(150)->Arg(270)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngReferenceFullDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngThumbnail)->Arg(150)->Arg(270)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifReferenceFullDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifThumbnail)->Arg(150)->Arg(270)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegReferenceFullDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureJpeg)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasurePng)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MeasureGif)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
