#include "commands/errands.h"

#include <QMetaObject>
#include <QThreadPool>

#include <mutex>
#include <vector>

namespace pimrose {

QThreadPool& diskWorkPool() {
  // Each slow read holds a thread until the disk answers; enough for a user's clicks on a hung share.
  static QThreadPool* const pool = [] {
    auto* threads = new QThreadPool;
    threads->setMaxThreadCount(16);
    return threads;
  }();
  return *pool;
}

// What the pool threads and the owner share; it outlives the owner while work still runs.
struct Errands::Shared {
  std::mutex mutex;
  Errands* owner = nullptr;  // null once the owner is gone
  std::vector<Delivery> arrived;
};

Errands::Errands(QObject* parent) : QObject(parent), shared_(std::make_shared<Shared>()) {
  shared_->owner = this;
}

Errands::~Errands() {
  std::vector<Delivery> dropped;
  std::lock_guard lock(shared_->mutex);
  shared_->owner = nullptr;
  dropped.swap(shared_->arrived);
}

void Errands::start(std::function<Delivery()> work) {
  diskWorkPool().start([shared = shared_, work = std::move(work)] {
    Delivery delivery = work();
    std::lock_guard lock(shared->mutex);
    if (!shared->owner) return;
    const bool wake = shared->arrived.empty();
    shared->arrived.push_back(std::move(delivery));
    // The owner cannot go while the lock is held, and a queued call to an object that has gone is
    // dropped with it. Results cross under the mutex; the call only wakes the UI thread.
    if (wake) QMetaObject::invokeMethod(shared->owner, &Errands::deliverArrived, Qt::QueuedConnection);
  });
}

void Errands::deliverArrived() {
  std::vector<Delivery> arrived;
  {
    std::lock_guard lock(shared_->mutex);
    arrived.swap(shared_->arrived);
  }
  for (const Delivery& delivery : arrived) delivery();
}

}  // namespace pimrose
