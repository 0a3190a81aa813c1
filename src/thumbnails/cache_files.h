#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include "codecs/png_decode.h"

// What the shared thumbnail cache and our own icon cache have in common: where the user's caches
// live, how an entry is named, made private, written, stamped and checked against its picture.
// Every function touches only the file system and may run on any thread.

namespace pimrose {

// What identifies a version of a picture file for the caches.
struct FileStamp {
  qint64 mtime = 0;  // seconds since the epoch
  qint64 size = 0;   // bytes
};

// $XDG_CACHE_HOME when it is an absolute path, else $HOME/.cache; empty when neither is known.
QString userCacheHome();

// The name of a picture's entry: the MD5 of its file URI in hex, then ".png".
QByteArray entryFileName(const QByteArray& uri);

// Makes each missing folder from `base` down to `base/relative` private to the user. `base` itself
// must exist: a user without a cache folder gets none made for them.
bool makePrivateFolders(const QString& base, const QString& relative);

// Writes next to the final name, then renames: a reader sees the old entry or the whole new one.
bool writeAtomically(const QString& target, const QByteArray& data);

// An entry's PNG: the stamp and the picture's upright size (when known) as text chunks ahead of
// the pixels, so an entry is checked before anything is inflated.
QByteArray encodeEntry(const QImage& image, const QByteArray& uri, const FileStamp& stamp, QSize picture);

// Whether the chunks name this picture in this version: Thumb::MTime in whole seconds (some writers
// add a fraction), and Thumb::URI and Thumb::Size where present (other programs may leave them out).
bool entryTextsMatch(const PngTexts& texts, const QByteArray& uri, const FileStamp& stamp);
bool hasEntryStamp(const PngTexts& texts);

// The picture's size as the entry records it, turned like the entry: some writers record the size
// the pixels are stored in, before their orientation. Empty when the entry does not say.
QSize recordedPictureSize(const PngTexts& texts, QSize entry);

}  // namespace pimrose
