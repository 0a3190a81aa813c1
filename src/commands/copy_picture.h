#pragma once

#include <QByteArray>
#include <QString>

class QClipboard;

namespace pimrose {

class NoticeSink;

// A picture read for the clipboard: upright (EXIF orientation applied) and encoded as PNG, or
// empty with the reason it could not be.
struct ClipboardPicture {
  QString path;
  QByteArray png;
  QString error;
};

// Reads, decodes and encodes the picture at `path`. Touches the disk and takes seconds on a big
// photo (or a slow share): call it off the UI thread.
ClipboardPicture readClipboardPicture(const QString& path);

// Puts a picture read by readClipboardPicture on the clipboard as PNG (PictureMimeData), then tells the user:
// "置剪贴板完成" ("完成") when it is there, "置剪贴板失败" ("失败") when the file could not be read
// or decoded, in which case the clipboard keeps what it held. UI thread only.
//
// The clipboard owns the data from then on, so the picture stays after the menu has closed. At
// exit it goes to a clipboard manager where one runs (handOverClipboard, once the event loop has
// been left), so the program must end by leaving its event loop, not by exit() from inside a handler.
bool putPictureOnClipboard(const ClipboardPicture& read, QClipboard& clipboard, NoticeSink& notices);

// Both at once, on the calling thread.
bool CopyPictureToClipboard(const QString& path, QClipboard& clipboard, NoticeSink& notices);

}  // namespace pimrose
