#include "platform/ini_store.h"

#include "platform/thread_wake.h"

namespace pimrose {

IniStore::IniStore(QString path, std::vector<IniKey> keys)
    : path_(std::move(path)),
      keys_(std::move(keys)),
      wake_(std::make_unique<ThreadWake>([this] { deliver(); })),
      bell_(wake_->bell()) {
  jobs_.push_back([this] { readKeys(); });
  worker_ = std::thread([this] { run(); });
}

IniStore::~IniStore() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

QString IniStore::value(const QString& section, const QString& key, const QString& fallback) const {
  waitForReading();
  return values_.value(slot(section, key), fallback);
}

void IniStore::save(std::vector<IniEntry> entries, Saved saved) {
  waitForReading();
  for (const IniEntry& entry : entries) values_.insert(slot(entry.section, entry.key), entry.value);
  auto job = [this, entries = std::move(entries), saved = std::move(saved)]() mutable {
    std::optional<IniDocument> document = IniDocument::load(path_);
    bool written = false;
    if (document) {
      document->setValues(entries);
      written = document->save(path_);
    }
    std::lock_guard lock(mutex_);
    ++done_;
    lastWritten_ = written;
    if (saved) delivered_.push_back({std::move(saved), written});
    changed_.notify_all();
  };
  {
    std::lock_guard lock(mutex_);
    ++asked_;
    jobs_.push_back(std::move(job));
  }
  changed_.notify_all();
}

bool IniStore::waitForSaves() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return done_ == asked_; });
  return lastWritten_;
}

// Jobs run in the order queued; at the end the queue is emptied before the thread stops, so no save
// asked for is lost.
void IniStore::run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
    bell_();
  }
}

// A file that cannot be read answers nothing, as a missing one does: every control keeps its state.
void IniStore::readKeys() {
  const std::optional<IniDocument> document = IniDocument::load(path_);
  if (document) {
    const std::vector<std::optional<QString>> found = document->values(keys_);
    for (size_t i = 0; i < keys_.size(); ++i)
      if (found[i]) values_.insert(slot(keys_[i].section, keys_[i].key), *found[i]);
  }
  std::lock_guard lock(mutex_);
  read_ = true;
  changed_.notify_all();
}

void IniStore::deliver() {
  std::vector<Delivery> arrived;
  {
    std::lock_guard lock(mutex_);
    arrived.swap(delivered_);
  }
  for (const Delivery& delivery : arrived) delivery.saved(delivery.written);
}

void IniStore::waitForReading() const {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return read_; });
}

// Names match without regard to letter case, as in the file.
QString IniStore::slot(const QString& section, const QString& key) {
  return section.toCaseFolded() + QChar(0) + key.toCaseFolded();
}

}  // namespace pimrose
