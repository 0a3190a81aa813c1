#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <mutex>

namespace pimrose {

// The bytes of whole-file reads that loader threads may hold at once. Each thread may read a picture
// of up to kMaxPictureFileBytes; without a shared cap, a few threads meeting a folder of huge files
// would each hold one. A read takes a grant for its file's size before reading and keeps it while
// the bytes are decoded; a grant that does not fit waits until enough is given back. A request
// larger than the whole budget is granted once nothing else is held, alone, so it never waits for
// ever. A thread gives its grant back before it asks for another: two threads that each hold one
// and wait for a second could wait for each other for ever.
class ReadBudget {
 public:
  class Grant {
   public:
    Grant() = default;
    Grant(Grant&& other) noexcept;
    Grant& operator=(Grant&& other) noexcept;
    Grant(const Grant&) = delete;
    Grant& operator=(const Grant&) = delete;
    ~Grant();

    qint64 bytes() const { return bytes_; }

   private:
    friend class ReadBudget;
    Grant(ReadBudget* budget, qint64 bytes) : budget_(budget), bytes_(bytes) {}
    void giveBack();

    ReadBudget* budget_ = nullptr;
    qint64 bytes_ = 0;
  };

  explicit ReadBudget(qint64 capacity);
  ReadBudget(const ReadBudget&) = delete;
  ReadBudget& operator=(const ReadBudget&) = delete;

  // Waits until `bytes` fit beside what is held, then holds them until the grant goes.
  Grant acquire(qint64 bytes);

  qint64 capacity() const;
  // Tests make the budget small enough to meet it with small files; grants already held stay.
  void setCapacity(qint64 capacity);
  qint64 held() const;
  // Threads waiting in acquire.
  int waiting() const;
  // The most ever held at once since the last reset.
  qint64 peakHeld() const;
  void resetPeak();

 private:
  void release(qint64 bytes);

  mutable std::mutex mutex_;
  std::condition_variable freed_;
  qint64 capacity_;
  qint64 held_ = 0;
  qint64 peak_ = 0;
  int waiting_ = 0;
};

// Two of the largest pictures at once, or any number of ordinary ones.
inline constexpr qint64 kReadBudgetBytes = 512LL * 1024 * 1024;

// The one budget every loader and the viewer's decoder read through.
ReadBudget& sharedReadBudget();

}  // namespace pimrose
