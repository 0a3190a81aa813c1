#include "browsing/details_reader.h"

#include <QMetaObject>

#include "browsing/picture_details.h"

namespace pimrose {

namespace {

DetailsReader::ReadLine orPictureDetails(DetailsReader::ReadLine readLine) {
  if (readLine) return readLine;
  return [locale = QLocale::system()](const QString& path, qsizetype position, qsizetype count) {
    return PictureDetailsLine(readPictureDetails(path, position, count, locale));
  };
}

}  // namespace

// The worker starts in the body, once every member it may touch exists.
DetailsReader::DetailsReader(ReadLine readLine, QObject* parent)
    : QObject(parent), readLine_(orPictureDetails(std::move(readLine))) {
  worker_ = std::thread([this] { work(); });
}

DetailsReader::~DetailsReader() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

void DetailsReader::request(const QStringList& shownList, qsizetype index) {
  const quint64 ticket = ++lastTicket_;
  if (index < 0 || index >= shownList.size()) {
    Q_EMIT detailsReady(QString());
    return;
  }
  {
    std::lock_guard lock(mutex_);
    waiting_ = Request{ticket, shownList[index], index + 1, shownList.size()};
  }
  wake_.notify_one();
}

void DetailsReader::dropPending() {
  ++lastTicket_;
  std::lock_guard lock(mutex_);
  waiting_.reset();
}

void DetailsReader::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || waiting_; });
    if (stopping_) return;
    const Request request = std::move(*waiting_);
    waiting_.reset();
    lock.unlock();
    QString line = readLine_(request.path, request.position, request.count);
    lock.lock();
    results_.push_back({request.ticket, std::move(line)});
    QMetaObject::invokeMethod(this, &DetailsReader::takeResults, Qt::QueuedConnection);
  }
}

void DetailsReader::takeResults() {
  std::vector<Result> results;
  {
    std::lock_guard lock(mutex_);
    results.swap(results_);
  }
  for (const Result& result : results)
    if (result.ticket == lastTicket_) Q_EMIT detailsReady(result.line);
}

}  // namespace pimrose
