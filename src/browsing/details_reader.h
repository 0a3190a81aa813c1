#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QObject>
#include <QStringList>

#include "platform/worker_inbox.h"

namespace pimrose {

// Reads the details line of a picture (header, size and file times) on a worker thread, so a slow
// disk or a network share never holds up the window.
//
// Only the newest request matters: one asked while another waits replaces it, and a line that
// arrives after a newer request (or after dropPending) is thrown away. detailsReady is emitted on
// the owner's thread.
class DetailsReader : public QObject {
  Q_OBJECT

 public:
  // Gives the line for the picture at `path`, position `position` of `count`: pictureDetailsLineForItem's
  // work by default, a stand-in in tests.
  using ReadLine = std::function<QString(const QString& path, qsizetype position, qsizetype count)>;

  // An empty reader means the picture's own details (header, size, file times).
  explicit DetailsReader(ReadLine readLine = {}, QObject* parent = nullptr);
  ~DetailsReader() override;

  // The line of item `index` of `shownList`. An index outside the list gives the empty line at once.
  void request(const QStringList& shownList, qsizetype index);
  // Forgets every request made so far: the list they were made for is gone.
  void dropPending();

 Q_SIGNALS:
  void detailsReady(const QString& line);

 private:
  struct Request {
    quint64 ticket = 0;
    QString path;
    qsizetype position = 0;
    qsizetype count = 0;
  };
  struct Result {
    quint64 ticket = 0;
    QString line;
  };
  // Only the newest request waits.
  struct Newest {
    using Job = Request;
    std::optional<Request> waiting;
    std::optional<Request> take() { return std::exchange(waiting, std::nullopt); }
    void finished(const Request&) {}
    void stop() { waiting.reset(); }
  };

  void takeResults(std::vector<Result>& results);

  ReadLine readLine_;
  quint64 lastTicket_ = 0;  // UI thread only
  Worker<Newest, Result> worker_;
};

}  // namespace pimrose
