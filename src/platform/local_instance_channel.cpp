#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include "platform/instance_channel.h"
#include "platform/platform_log.h"

namespace pimrose {
namespace {

constexpr int kConnectTimeoutMs = 500;
constexpr int kAnswerTimeoutMs = 2000;
constexpr int kReleasePollMs = 20;
const QByteArray kShowRequest = "show\n";
const QByteArray kAnswer = "ok\n";

QString runtimeDirectory() {
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return dir.isEmpty() ? QDir::tempPath() : dir;
}

// The socket lives in the user's private runtime folder, so instances of different users never meet.
QString socketPath(const QString& name) {
  return QDir(runtimeDirectory()).filePath(name);
}

// Someone listens on the socket: connecting is enough to tell, and sends no request.
bool isHeld(const QString& path) {
  QLocalSocket socket;
  socket.connectToServer(path);
  const bool held = socket.waitForConnected(kConnectTimeoutMs);
  socket.abort();
  return held;
}

class LocalInstanceChannel final : public InstanceChannel {
 public:
  bool isAnotherInstance(const QString& name) override {
    const QString path = socketPath(name);
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.tryLock(5000);  // a lock that cannot be had still lets start-up go on, unguarded
    if (askRunningInstance(path)) return true;
    listen(path);
    return false;
  }

  bool waitForRelease(const QString& name, int timeoutMs) override {
    const QString path = socketPath(name);
    const QDeadlineTimer deadline(timeoutMs);
    while (isHeld(path)) {
      if (deadline.hasExpired()) return false;
      QThread::msleep(kReleasePollMs);
    }
    return true;
  }

  void release() override {
    if (server_) server_->close();
    server_.reset();
  }

 private:
  bool askRunningInstance(const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
    socket.write(kShowRequest);
    socket.waitForBytesWritten(kAnswerTimeoutMs);
    const bool answered = socket.waitForReadyRead(kAnswerTimeoutMs) && socket.readLine() == kAnswer;
    qCInfo(lcPlatform) << "another instance holds" << name
                       << (answered ? "and answered" : "but did not answer");
    return true;
  }

  void listen(const QString& name) {
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name);  // a socket file left by a crashed instance
    if (!server_->listen(name)) {
      qCWarning(lcPlatform) << "cannot listen on" << name << server_->errorString();
      server_.reset();
      return;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &LocalInstanceChannel::acceptRequests);
  }

  void acceptRequests() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
    }
  }

  void answer(QLocalSocket* socket) {
    while (socket->canReadLine()) {
      if (socket->readLine() != kShowRequest) continue;
      socket->write(kAnswer);
      socket->flush();
      Q_EMIT showRequested();
    }
  }

  std::unique_ptr<QLocalServer> server_;
};

}  // namespace

std::unique_ptr<InstanceChannel> makeLocalInstanceChannel() {
  return std::make_unique<LocalInstanceChannel>();
}

}  // namespace pimrose
