#pragma once

#include <QImage>

// The form in which the lists keep their icons, made on the loader thread.
//
// Opaque icons are kept at three bytes a pixel (Format_RGB888), icons with transparency as
// Format_ARGB32_Premultiplied; the painter converts an icon's few rows when it draws it. Each icon's
// pixels sit in pages of their own, handed back to the system the moment the last copy of the image
// goes: icons come and go in a different order from the decode buffers around them, and in the
// allocator's shared heaps the holes they leave kept the process's memory near its high-water mark
// (20,000 items, about 25 MB).

namespace pimrose {

// `thumbnail` converted and moved into its own pages, same size, pixels and device pixel ratio;
// null stays null.
QImage storedIcon(const QImage& thumbnail);

}  // namespace pimrose
