#pragma once

#include "thumbnails/icon_cache.h"
#include "thumbnails/load_thumbnail.h"
#include "thumbnails/thumbnail_cache.h"

namespace pimrose {

// loadThumbnail with the shared cache in front of it, on any thread. The entry is looked for before
// the picture is opened: one stat of the picture, then the entries from the folder that may cover
// the icon (device pixels) up; a valid one that covers the icon (or holds the whole picture) is
// scaled down, and the picture is not read at all when the entry records the picture's size (ours
// do), else only its header. A picture recorded as failing (and unchanged since) is not decoded
// again. Otherwise the picture is probed and decoded once, as without the cache; the entry, for the
// smallest folder that covers the icon and at that folder's size, is written from those pixels and
// the icon is scaled from them too. Only thumbnails made from the file's own pixels are written,
// never one from an embedded preview; those (fast loading) come out exactly as loadThumbnail makes them.
//
// With EntryWrite::AfterDelivery a new entry is not written (nor scaled to its folder) here: the
// result's afterDelivery does it, holding what it needs, so the icon is not kept waiting for the PNG
// encode. The entry is the same either way, and still written atomically.
//
// With EarlyPreview::Yes a picture that is decoded (no valid entry) may first be answered with the
// provisional thumbnail from its embedded preview, as loadThumbnail does; its makeFinal decodes, and
// only that final thumbnail writes the entry. A valid entry is fast already: it is answered at once.
//
// With an icon cache (icon_cache.h) its entry of the icon's width is looked up before anything else:
// one that is exactly this icon serves, and then nothing else is read. With `write` the icon goes
// there too (when, as the shared entry: now or after delivery), from whichever source made it, the
// shared cache's entry or the picture's pixels, never from an embedded preview.
enum class EntryWrite { Now, AfterDelivery };
struct IconKeeping {
  const IconCache* cache = nullptr;
  bool write = false;
};
LoadedThumbnail loadThumbnailCached(const QString& path, int iconSize, bool fastLoading,
                                    const ThumbnailCache& cache, EntryWrite write = EntryWrite::Now,
                                    EarlyPreview early = EarlyPreview::No, double pixelRatio = 1.0,
                                    IconKeeping icons = {});

// An entry is made from pixels at least this share of its size: the decoders' steps are coarse (a
// camera photo's 1/8 DCT step gives 500 of x-large's 512), and the last stretch is not worth a decode
// four times as large.
inline constexpr double kEntrySharpness = 0.9;

}  // namespace pimrose
