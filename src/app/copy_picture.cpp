#include "app/copy_picture.h"

#include <QClipboard>

#include "app/app_log.h"
#include "app/notice_sink.h"
#include "app/picture_mime_data.h"
#include "codecs/decode_picture.h"

namespace pimrose {

bool CopyPictureToClipboard(const QString& path, QClipboard& clipboard, NoticeSink& notices) {
  QString error;
  const QImage picture = decodePicture(path, &error);
  if (picture.isNull()) {
    qCInfo(lcApp) << "nothing copied from" << path << error;
    notices.ShowNotice(QStringLiteral("置剪贴板失败"), noticeKindFailed());
    return false;
  }
  clipboard.setMimeData(new PictureMimeData(picture), QClipboard::Clipboard);
  notices.ShowNotice(QStringLiteral("置剪贴板完成"), noticeKindDone());
  return true;
}

}  // namespace pimrose
