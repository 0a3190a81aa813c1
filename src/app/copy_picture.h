#pragma once

#include <QString>

class QClipboard;

namespace pimrose {

class NoticeSink;

// Decodes the picture at `path` upright (EXIF orientation applied) and puts it on the clipboard as
// an image, then tells the user: "置剪贴板完成" ("完成") when it is there, "置剪贴板失败" ("失败")
// when the file cannot be read or decoded, in which case the clipboard keeps what it held.
//
// The clipboard owns the data from then on, so the picture stays after the menu has closed. At
// exit Qt hands it to a clipboard manager where one runs (on X11 the clipboard asks the
// CLIPBOARD_MANAGER owner to save its targets while the application object is destroyed), so the
// program must end by leaving its event loop, not by exit() from inside a handler.
bool CopyPictureToClipboard(const QString& path, QClipboard& clipboard, NoticeSink& notices);

}  // namespace pimrose
