#pragma once

#include "thumbnails/load_thumbnail.h"
#include "thumbnails/thumbnail_cache.h"

namespace pimrose {

// loadThumbnail with the shared cache in front of it, on any thread. A valid entry at least as
// large as the icon is scaled down without reading more of the picture than its header; a picture
// recorded as failing (and unchanged since) is not decoded again. Otherwise the picture is decoded
// once, as without the cache; the entry for the folder that covers the icon is written from those
// pixels and the icon is scaled from them too. Only thumbnails made from the file's own pixels are written,
// never one from an embedded preview; those (fast loading) come out exactly as loadThumbnail makes them.
//
// With EntryWrite::AfterDelivery a new entry is not written (nor scaled to its folder) here: the
// result's afterDelivery does it, holding what it needs, so the icon is not kept waiting for the PNG
// encode. The entry is the same either way, and still written atomically.
//
// With EarlyPreview::Yes a picture that is decoded (no valid entry) may first be answered with the
// provisional thumbnail from its embedded preview, as loadThumbnail does; its makeFinal decodes, and
// only that final thumbnail writes the entry. A valid entry is fast already: it is answered at once.
enum class EntryWrite { Now, AfterDelivery };
LoadedThumbnail loadThumbnailCached(const QString& path, int iconSize, bool fastLoading,
                                    const ThumbnailCache& cache, EntryWrite write = EntryWrite::Now,
                                    EarlyPreview early = EarlyPreview::No);

}  // namespace pimrose
