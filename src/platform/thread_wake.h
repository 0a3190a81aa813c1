#pragma once

#include <functional>
#include <memory>

#include <QObject>

class QSocketNotifier;

namespace pimrose {

// Wakes the event loop of the thread that owns it, from any thread, and runs `onWake` there.
//
// Worker threads ring an eventfd that the owner's event loop watches. Nothing of Qt's is touched off
// the owner thread: no event is allocated or posted per ring, rings that come before the owner
// wakes fold into one, and the hand-over stays visible to ThreadSanitizer (the data itself travels
// under the caller's own std::mutex; the eventfd only says "look").
//
// Should the process be out of file descriptors, the owner looks every kPollWithoutFdMs instead.
//
// The bell that `bell()` hands out keeps the eventfd open, so a worker that rings after this object
// is gone rings into nothing and is never harmed.
class ThreadWake : public QObject {
  Q_OBJECT

 public:
  using Bell = std::function<void()>;

  static constexpr int kPollWithoutFdMs = 50;

  explicit ThreadWake(std::function<void()> onWake, QObject* parent = nullptr);
  ~ThreadWake() override;

  // Safe to copy to and call from any thread, at any time.
  Bell bell() const;

 private:
  struct Fd;
  void answer();

  std::function<void()> onWake_;
  std::shared_ptr<Fd> fd_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace pimrose
