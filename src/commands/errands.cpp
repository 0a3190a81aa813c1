#include "commands/errands.h"

#include <QThreadPool>

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

Errands::Errands(QObject* parent)
    : QObject(parent), inbox_([](std::vector<Delivery>& arrived) {
        for (const Delivery& delivery : arrived) delivery();
      }) {}

// The inbox closes with this object: a delivery that arrives later is dropped with it.
Errands::~Errands() = default;

void Errands::start(std::function<Delivery()> work) {
  diskWorkPool().start([slot = inbox_.slot(), work = std::move(work)] { slot.put(work()); });
}

}  // namespace pimrose
