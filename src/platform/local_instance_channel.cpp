#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include "platform/instance_channel.h"
#include "platform/platform_log.h"

// The channel is a Unix stream socket spoken to with plain system calls: the only networking the
// program does, and not worth the start-up cost of loading a network library and what it pulls in.

namespace pimrose {
namespace {

constexpr int kAnswerTimeoutMs = 2000;
constexpr int kReleasePollMs = 20;
constexpr int kStartLockTimeoutMs = 5000;
constexpr int kLockPollMs = 5;
constexpr int kBacklog = 8;
// A request is one short line; a peer that sends more without ending it is not one of us.
constexpr qsizetype kMaxRequestBytes = 256;
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

// False when the path does not fit a socket address.
bool addressOf(const QByteArray& path, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.isEmpty() || std::size_t(path.size()) >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
  return true;
}

// A connected socket to whoever listens at `path`, or -1 when nobody does.
int connectTo(const QString& path) {
  sockaddr_un address;
  if (!addressOf(QFile::encodeName(path), address)) return -1;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Someone listens on the socket: connecting is enough to tell, and sends no request.
bool isHeld(const QString& path) {
  const int fd = connectTo(path);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

// Reads one line of answer within the deadline; an empty result when none came.
QByteArray readAnswer(int fd, const QDeadlineTimer& deadline) {
  QByteArray answer;
  while (!answer.endsWith('\n') && answer.size() < kMaxRequestBytes) {
    pollfd watch{fd, POLLIN, 0};
    const int ready = ::poll(&watch, 1, int(deadline.remainingTime()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;
    char buffer[64];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    answer.append(buffer, got);
  }
  return answer;
}

// Start-ups go one at a time, under an advisory lock on a file beside the socket. The kernel lets go
// of the lock when its holder ends, however it ends, so no lock is ever left stale, and taking it
// writes nothing to disk (a lock file holding its owner's details waited some 5 ms for the disk
// where the runtime folder is not in memory). Without the lock, start-up goes on unguarded.
class StartLock {
 public:
  StartLock(const QString& path, int timeoutMs) {
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd_ < 0) return;
    const QDeadlineTimer deadline(timeoutMs);
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) {
        ::close(fd_);
        fd_ = -1;
        return;
      }
      QThread::msleep(kLockPollMs);
    }
  }
  ~StartLock() {
    if (fd_ >= 0) ::close(fd_);  // and with it the lock; the file stays for the next start
  }
  StartLock(const StartLock&) = delete;
  StartLock& operator=(const StartLock&) = delete;

 private:
  int fd_ = -1;
};

bool sendAll(int fd, const QByteArray& bytes) {
  qsizetype sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.constData() + sent, std::size_t(bytes.size() - sent), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += n;
  }
  return true;
}

class LocalInstanceChannel final : public InstanceChannel {
 public:
  ~LocalInstanceChannel() override { release(); }

  bool isAnotherInstance(const QString& name) override {
    const QString path = socketPath(name);
    const StartLock lock(path + QStringLiteral(".lock"), kStartLockTimeoutMs);
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
    for (auto& [fd, peer] : peers_) closePeer(fd, *peer);
    peers_.clear();
    if (serverFd_ < 0) return;
    delete serverNotifier_;
    serverNotifier_ = nullptr;
    ::close(serverFd_);
    serverFd_ = -1;
    ::unlink(serverPath_.constData());  // the name is free for the next instance
  }

 private:
  struct Peer {
    QSocketNotifier* notifier = nullptr;
    QByteArray pending;
  };

  bool askRunningInstance(const QString& path) {
    const int fd = connectTo(path);
    if (fd < 0) return false;
    const bool answered =
        sendAll(fd, kShowRequest) && readAnswer(fd, QDeadlineTimer(kAnswerTimeoutMs)) == kAnswer;
    ::close(fd);
    qCInfo(lcPlatform) << "another instance holds" << path
                       << (answered ? "and answered" : "but did not answer");
    return true;
  }

  void listen(const QString& path) {
    const QByteArray encoded = QFile::encodeName(path);
    sockaddr_un address;
    if (!addressOf(encoded, address)) {
      qCWarning(lcPlatform) << "cannot listen on" << path << "(the path is too long)";
      return;
    }
    ::unlink(encoded.constData());  // a socket file left by a crashed instance
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // The runtime folder is the user's own already; the socket is made the user's alone as well.
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(encoded.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, kBacklog) != 0) {
      qCWarning(lcPlatform) << "cannot listen on" << path << std::strerror(errno);
      if (fd >= 0) ::close(fd);
      return;
    }
    serverFd_ = fd;
    serverPath_ = encoded;
    serverNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(serverNotifier_, &QSocketNotifier::activated, this, [this] { acceptRequests(); });
  }

  void acceptRequests() {
    for (;;) {
      const int fd = ::accept4(serverFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd < 0) return;
      auto peer = std::make_unique<Peer>();
      peer->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
      connect(peer->notifier, &QSocketNotifier::activated, this, [this, fd] { readPeer(fd); });
      peers_[fd] = std::move(peer);
    }
  }

  // Answers each whole request line; a peer that hangs up, fails or floods is let go.
  void readPeer(int fd) {
    const auto found = peers_.find(fd);
    if (found == peers_.end()) return;
    Peer& peer = *found->second;
    bool open = true;
    for (;;) {
      char buffer[256];
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
      if (got <= 0) {
        open = false;
        break;
      }
      peer.pending.append(buffer, got);
    }
    int requests = 0;
    for (qsizetype end = peer.pending.indexOf('\n'); end >= 0; end = peer.pending.indexOf('\n')) {
      const QByteArray line = peer.pending.left(end + 1);
      peer.pending.remove(0, end + 1);
      if (line != kShowRequest) continue;
      sendAll(fd, kAnswer);
      ++requests;
    }
    if (!open || peer.pending.size() > kMaxRequestBytes) {
      closePeer(fd, peer);
      peers_.erase(fd);
    }
    // Last: whoever hears the request may release the channel, peers and all.
    for (int i = 0; i < requests; ++i) Q_EMIT showRequested();
  }

  // The notifier may be the one whose signal is running: it goes once that has returned.
  static void closePeer(int fd, Peer& peer) {
    peer.notifier->setEnabled(false);
    peer.notifier->deleteLater();
    ::close(fd);
  }

  int serverFd_ = -1;
  QByteArray serverPath_;
  QSocketNotifier* serverNotifier_ = nullptr;
  std::map<int, std::unique_ptr<Peer>> peers_;
};

}  // namespace

std::unique_ptr<InstanceChannel> makeLocalInstanceChannel() {
  return std::make_unique<LocalInstanceChannel>();
}

}  // namespace pimrose
