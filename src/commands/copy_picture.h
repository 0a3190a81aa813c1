#pragma once

#include <QImage>
#include <QString>

class QClipboard;

namespace pimrose {

class NoticeSink;

// A picture read for the clipboard: decoded upright (EXIF orientation applied), or null with the
// reason it could not be.
struct ClipboardPicture {
  QString path;
  QImage picture;
  QString error;
};

// Reads and decodes the picture at `path`. Touches the disk and may take long on a big photo or a
// slow share: call it off the UI thread.
ClipboardPicture readClipboardPicture(const QString& path);

// Puts a picture read by readClipboardPicture on the clipboard as an image, then tells the user:
// "置剪贴板完成" ("完成") when it is there, "置剪贴板失败" ("失败") when the file could not be read
// or decoded, in which case the clipboard keeps what it held. UI thread only.
//
// The clipboard owns the data from then on, so the picture stays after the menu has closed. At
// exit Qt hands it to a clipboard manager where one runs (on X11 the clipboard asks the
// CLIPBOARD_MANAGER owner to save its targets while the application object is destroyed), so the
// program must end by leaving its event loop, not by exit() from inside a handler.
bool putPictureOnClipboard(const ClipboardPicture& read, QClipboard& clipboard, NoticeSink& notices);

// Both at once, on the calling thread.
bool CopyPictureToClipboard(const QString& path, QClipboard& clipboard, NoticeSink& notices);

}  // namespace pimrose
