#pragma once

#include <QHash>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ini_document.h"

namespace pimrose {

class ThreadWake;

// The settings file, read and written on a thread of its own, so that neither a large file nor a slow
// disk ever holds up the window.
//
// The keys the program keeps are read once, as soon as the store is made; from then on the store
// answers from what it read and what it was last given to save, which is what the file holds. Saves
// run one after another in the order asked; each reads the file afresh, so lines someone else wrote
// meanwhile are kept, and replaces it in one atomic write (see IniDocument and writeFileAtomically:
// a file that cannot be read is never replaced).
//
// Usage, on the thread that owns the window:
//   IniStore store(path, {{"选择框", "选择框_快速加载"}, ...});
//   store.value("选择框", "选择框_快速加载");   // waits for the first reading, once
//   store.save(entries, [](bool written) { ... });  // later, on this thread
//   store.waitForSaves();                          // at exit: the file is written when this returns
class IniStore {
 public:
  using Saved = std::function<void(bool written)>;

  IniStore(QString path, std::vector<IniKey> keys);
  // Waits for the saves already asked for; their `saved` calls are dropped.
  ~IniStore();
  IniStore(const IniStore&) = delete;
  IniStore& operator=(const IniStore&) = delete;

  const QString& path() const { return path_; }
  // The value of one of the store's keys; `fallback` when the file does not hold it, could not be
  // read, or the key is not one of the store's. The first call waits for the first reading.
  QString value(const QString& section, const QString& key, const QString& fallback = {}) const;
  // Queues a save of these keys (which the store answers with from now on). `saved` runs on the
  // owner's thread, from its event loop, with whether the file was written.
  void save(std::vector<IniEntry> entries, Saved saved = {});
  // Waits until every save asked for is done; whether the last one wrote the file.
  bool waitForSaves();

 private:
  struct Delivery {
    Saved saved;
    bool written;
  };

  void run();
  void readKeys();
  void deliver();
  void waitForReading() const;
  static QString slot(const QString& section, const QString& key);

  const QString path_;
  const std::vector<IniKey> keys_;
  QHash<QString, QString> values_;  // the worker's until `read_`, the owner's after it

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool read_ = false;
  bool stopping_ = false;
  std::deque<std::function<void()>> jobs_;
  quint64 asked_ = 0;
  quint64 done_ = 0;
  bool lastWritten_ = true;
  std::vector<Delivery> delivered_;

  std::unique_ptr<ThreadWake> wake_;
  std::function<void()> bell_;
  std::thread worker_;  // last: it starts once everything above is ready
};

}  // namespace pimrose
