#include "commands/copy_picture.h"

#include <QClipboard>

#include "codecs/decode_picture.h"
#include "commands/commands_log.h"
#include "commands/notice_sink.h"
#include "commands/picture_mime_data.h"

namespace pimrose {

ClipboardPicture readClipboardPicture(const QString& path) {
  ClipboardPicture read{path, {}, {}};
  read.png = uprightPng(path, &read.error);
  return read;
}

bool putPictureOnClipboard(const ClipboardPicture& read, QClipboard& clipboard, NoticeSink& notices) {
  if (read.png.isEmpty()) {
    qCInfo(lcCommands) << "nothing copied from" << read.path << read.error;
    notices.ShowNotice(QStringLiteral("置剪贴板失败"), noticeKindFailed());
    return false;
  }
  clipboard.setMimeData(new PictureMimeData(read.png), QClipboard::Clipboard);
  notices.ShowNotice(QStringLiteral("置剪贴板完成"), noticeKindDone());
  return true;
}

bool CopyPictureToClipboard(const QString& path, QClipboard& clipboard, NoticeSink& notices) {
  return putPictureOnClipboard(readClipboardPicture(path), clipboard, notices);
}

}  // namespace pimrose
