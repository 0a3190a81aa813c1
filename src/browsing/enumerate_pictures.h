#pragma once

#include <atomic>

#include <QString>
#include <QStringList>

// Listing the pictures under a folder.
//
// enumeratePictures walks one folder: its own pictures type by type (in the order of the type list,
// each type's files in case-insensitive name order), then its sub-folders in the same name order,
// depth first. Types match the end of a name without regard to case (".JPG" is a jpg; ".jpeg" is
// not). Only regular files (or links to them) count as pictures. Unreadable folders, vanished
// entries and sub-folders that lead back into a folder of the current walk (links, bind mounts)
// are skipped quietly. Paths are decoded with decodeFileName, so any byte name survives.
//
// listPictures is the listing half of opening paths: every path enumerated in order, combined,
// and the whole reversed (the last picture found becomes the first item).

namespace pimrose {

// The file types that count as pictures, in listing order.
inline constexpr char16_t kPictureTypes[] = u"jpg|png|gif";

struct EnumerateOptions {
  bool fullPaths = true;
  bool recurse = true;
  bool includeFolders = false;
};

// Checked between folders; a walk stops early (with a partial result) once it reads true.
using CancelFlag = std::atomic<bool>;
// Raised by the pictures of each folder as the walk appends them, so another thread can tell how
// far a long walk has come.
using FoundCount = std::atomic<qsizetype>;

// With recursion on, `result` is only appended to; with it off, it is emptied first.
void enumeratePictures(const QString& folder, const QString& types, QStringList& result,
                       EnumerateOptions options = {}, const CancelFlag* cancel = nullptr,
                       FoundCount* found = nullptr);

// Every path enumerated for `types` (full paths, recursion on), combined and reversed. A path that
// names a file rather than a folder contributes nothing. `found` counts the pictures as folders finish.
QStringList listPictures(const QStringList& paths, const CancelFlag* cancel = nullptr,
                         FoundCount* found = nullptr,
                         const QString& types = QString::fromUtf16(kPictureTypes));

}  // namespace pimrose
