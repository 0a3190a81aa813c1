#include "platform/log_sink.h"

#include <QMutex>
#include <QMutexLocker>

namespace pimrose {
namespace {

QtMessageHandler previousHandler = nullptr;
QMutex receiverMutex;
LogReceiver currentReceiver;

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (previousHandler) previousHandler(type, context, message);
  QMutexLocker lock(&receiverMutex);
  if (currentReceiver) currentReceiver(message);
}

}  // namespace

void installLogSink() {
  static const bool installed = [] {
    previousHandler = qInstallMessageHandler(handleMessage);
    return true;
  }();
  (void)installed;
}

void setLogReceiver(LogReceiver receiver) {
  QMutexLocker lock(&receiverMutex);
  currentReceiver = std::move(receiver);
}

}  // namespace pimrose
