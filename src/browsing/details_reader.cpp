#include "browsing/details_reader.h"

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

DetailsReader::DetailsReader(ReadLine readLine, QObject* parent)
    : QObject(parent),
      readLine_(orPictureDetails(std::move(readLine))),
      worker_(
          [this](Request& request) {
            return Result{request.ticket, readLine_(request.path, request.position, request.count)};
          },
          [this](std::vector<Result>& results) { takeResults(results); }) {}

DetailsReader::~DetailsReader() = default;

void DetailsReader::request(const QStringList& shownList, qsizetype index) {
  const quint64 ticket = ++lastTicket_;
  if (index < 0 || index >= shownList.size()) {
    Q_EMIT detailsReady(QString());
    return;
  }
  worker_.change([&](Newest& queue) {
    queue.waiting = Request{ticket, shownList[index], index + 1, shownList.size()};
  });
}

void DetailsReader::dropPending() {
  ++lastTicket_;
  worker_.change([](Newest& queue) { queue.waiting.reset(); });
}

void DetailsReader::takeResults(std::vector<Result>& results) {
  for (const Result& result : results)
    if (result.ticket == lastTicket_) Q_EMIT detailsReady(result.line);
}

}  // namespace pimrose
