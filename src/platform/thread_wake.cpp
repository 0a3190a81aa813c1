#include "platform/thread_wake.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include <QSocketNotifier>
#include <QTimer>

namespace pimrose {

struct ThreadWake::Fd {
  int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd() = default;
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

ThreadWake::ThreadWake(std::function<void()> onWake, QObject* parent)
    : QObject(parent), onWake_(std::move(onWake)), fd_(std::make_shared<Fd>()) {
  if (fd_->fd < 0) {
    // Out of descriptors: look every so often instead, so the owner still hears of the work.
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &ThreadWake::answer);
    poll->start(kPollWithoutFdMs);
    return;
  }
  notifier_ = new QSocketNotifier(qintptr(fd_->fd), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ThreadWake::answer);
}

ThreadWake::~ThreadWake() = default;

ThreadWake::Bell ThreadWake::bell() const {
  return [fd = fd_] {
    if (fd->fd < 0) return;  // the owner polls
    const std::uint64_t one = 1;
    // A full counter (2^64 - 2 rings unanswered) cannot happen; a failed write only means the owner
    // is already due to wake.
    [[maybe_unused]] const ssize_t written = ::write(fd->fd, &one, sizeof one);
  };
}

// Reading resets the counter, so every ring before this point is answered by this one call.
void ThreadWake::answer() {
  if (fd_->fd >= 0) {
    std::uint64_t rings = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd_->fd, &rings, sizeof rings);
  }
  if (onWake_) onWake_();
}

}  // namespace pimrose
