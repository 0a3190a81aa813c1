#pragma once

#include <atomic>
#include <functional>

#include <QString>
#include <QStringList>

// Listing the pictures under a folder.
//
// enumeratePictures walks one folder: its own pictures type by type (in the order of the type list,
// each type's files in case-insensitive name order), then its sub-folders in the same name order,
// depth first. Types match the end of a name without regard to case (".JPG" is a jpg; ".jpeg" is
// not). Only regular files (or links to them) count as pictures. Unreadable folders and vanished
// entries are skipped quietly. Every real folder (device and inode) is read once per walk: a link
// or bind mount that leads to a folder already read, back up the tree or sideways, is not followed
// again, so links that branch into each other cannot multiply the walk. The kernel's own file
// systems (/proc, /sys and their kind) hold no pictures and are not entered. Paths are decoded with
// decodeFileName, so any byte name survives.
//
// A path longer than the system lets a program open (PATH_MAX) cannot be read later, so the walk
// leaves it out and counts it; listPictures says so in the log.
//
// listPictures is the listing half of opening paths: every path enumerated in order, combined,
// and the whole reversed (the last picture found becomes the first item). The paths of one call
// share one walk: a folder reached from two of them is listed once, where the walk first met it.
// The walk stops at the WalkLimits, keeping what it found (and logs that it stopped).

namespace pimrose {

// The file types that count as pictures, in listing order.
inline constexpr char16_t kPictureTypes[] = u"jpg|png|gif";

struct EnumerateOptions {
  bool fullPaths = true;
  bool recurse = true;
  bool includeFolders = false;
};

// How far one walk may go; it stops at whichever comes first. With the defaults a listing holds
// at most about 200 MB of paths, and the walk of a whole file system ends.
struct WalkLimits {
  qsizetype folders = 1'000'000;
  qsizetype pictures = 1'000'000;
  qsizetype pathUnits = qsizetype(64) << 20;  // UTF-16 units of all listed paths together
};

// What a walk read and what it had to leave out.
struct WalkSummary {
  qsizetype folders = 0;      // folders read
  qsizetype tooLong = 0;      // entries left out because their path is too long to open
  QString firstTooLong;       // the first of them
  bool limitReached = false;  // stopped at a WalkLimits: the result is partial
  // Every picture name it met is ASCII, so the listing's names need no writing system beyond it
  // (writingSystemSamples of the listing is empty, and need not look at every path).
  bool asciiNames = false;
};

// Asked of a listing: its first `count` pictures, in its order, ahead of the whole listing. They are
// told once the walk has read the last folder it will visit, when that folder holds no sub-folder
// and at least `count` pictures and the walk's limits cannot cut it short (the first pictures are
// then that folder's last names, last type first), before its names are ordered in full. `found`
// runs at most once, on the walking thread; a walk that cannot tell them early never calls it.
struct FirstPictures {
  qsizetype count = 0;
  std::function<void(const QStringList& first)> found;
};

// Checked between folders and entries; a walk stops early (with a partial result) once it reads true.
using CancelFlag = std::atomic<bool>;
// Raised by the pictures of each folder as the walk appends them, so another thread can tell how
// far a long walk has come.
using FoundCount = std::atomic<qsizetype>;

// With recursion on, `result` is only appended to; with it off, it is emptied first.
void enumeratePictures(const QString& folder, const QString& types, QStringList& result,
                       EnumerateOptions options = {}, const CancelFlag* cancel = nullptr,
                       FoundCount* found = nullptr);

// Every path enumerated for `types` (full paths, recursion on) in one walk, combined and reversed.
// A path that names a file rather than a folder contributes nothing. `found` counts the pictures as
// folders finish.
QStringList listPictures(const QStringList& paths, const CancelFlag* cancel = nullptr,
                         FoundCount* found = nullptr,
                         const QString& types = QString::fromUtf16(kPictureTypes),
                         const WalkLimits& limits = {}, WalkSummary* summary = nullptr,
                         const FirstPictures& first = {});

}  // namespace pimrose
