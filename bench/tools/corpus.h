#pragma once

#include <filesystem>
#include <vector>

// The benchmark corpus under one folder, made once: the parts already complete are kept, so a
// second run costs nothing. Every picture comes from syntheticPhoto with a fixed seed; large
// folders hold hard links to a few distinct pictures, so 100,000 names cost little disk.
//
// DIR/photos-N  N distinct camera-sized JPEGs at quality 90 (4:2:0, as cameras write them)
// DIR/pngs-N    N distinct 1920x1080 PNGs;  DIR/gifs-N: N distinct 1920x1080 GIFs
// DIR/smooth-N  N distinct 1920x1080 PNGs without grain (screenshots, illustrations)
// DIR/drop-N    N hard links to DIR/photos-*, round robin (the dropped folders, one per count)
// DIR/small-N   N distinct 400x300 JPEGs;   DIR/rss-N: N hard links to them
// DIR/tree-N    N empty files in about 1,000 folders, 3 in 5 of them pictures by name
// DIR/cameras-N N distinct camera-sized JPEGs carrying a 160x120 Exif preview, as cameras store it;
//               DIR/camera-drop-N: N hard links to them
// DIR/p3-photos-N the first N of DIR/photos-* with a Display P3 profile in APP2, pixels the same
// A folder is made under a ".partial" name and renamed when complete, so an interrupted run never
// leaves a folder that looks finished.

namespace pimrose::bench {

struct CorpusPlan {
  std::filesystem::path dir;
  int photos = 8, pngs = 4, gifs = 4, small = 8, tree = 0, cameras = 0, cameraDrop = 0, p3 = 0, smooth = 0;
  std::vector<int> drops;
  std::vector<int> rss;
  int photoWidth = 4000, photoHeight = 3000;
};

// Answers false when a part could not be made; throws std::filesystem::filesystem_error when the
// file system refuses.
bool makeCorpus(const CorpusPlan& plan);

}  // namespace pimrose::bench
