#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace pimrose {

// The code a click passes when a single click opens pictures; a double-click passes its own.
constexpr int kSingleClickCode = 0x8707;
constexpr int kDoubleClickCode = 0;

struct OpenPictureOptions {
  bool doubleClickOpens = false;  // `选择框_双击查看图片`
  bool builtInViewer = false;     // `选择框_内置看图`
};

// Where an opened picture goes: the built-in viewer (by list index) or the desktop's handler.
struct OpenPictureTargets {
  std::function<void(int index)> openInViewer;
  std::function<bool(const QString& path)> openWithShell;
};

enum class OpenAction { None, Viewer, Shell };

// A click opens only with the single-click code, a double-click only while double-click opening is
// on. A double-click also delivers a click first, so with both rules one gesture never opens twice.
OpenAction openPictureAction(const OpenPictureOptions& options, int code);

// Opens entry `index` (0-based) of `list` as `code` and the options say; an index outside the list
// opens nothing.
void OpenPicture(const QStringList& list, int index, int code, const OpenPictureOptions& options,
                 const OpenPictureTargets& targets);

}  // namespace pimrose
