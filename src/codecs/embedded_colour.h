#pragma once

#include <QByteArrayView>
#include <QList>

#include "codecs/colour_profile.h"

// The colour profiles JPEG and PNG files carry in their own bytes, read apart from their pixels.

namespace pimrose {

// A JPEG's ICC profile from its APP2 "ICC_PROFILE" segments (JpegHeader::iccChunks): the pieces
// numbered 1 to N of N, joined in that order. Untagged when a piece is missing or repeated or the
// numbers disagree.
ColourProfile jpegColourProfile(const QList<QByteArrayView>& iccChunks);

// A PNG's colours from the chunks before its pixels: an iCCP profile, else an sRGB chunk
// (untagged), else cHRM primaries with a gAMA curve. A gAMA alone says nothing of the primaries and
// is ignored, as is every damaged chunk.
ColourProfile pngColourProfile(QByteArrayView data);

}  // namespace pimrose
