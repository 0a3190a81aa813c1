#include "system/interface_table.h"

#include <optional>

#include <QList>

namespace pimrose {
namespace {

// "  eth0: rx_bytes rx_packets errs drop fifo frame compressed multicast tx_bytes ..."
std::optional<InterfaceRow> parseRow(const QByteArray& line) {
  const qsizetype colon = line.indexOf(':');
  if (colon < 0) return std::nullopt;
  const QList<QByteArray> fields = line.mid(colon + 1).simplified().split(' ');
  if (fields.size() < 9) return std::nullopt;
  bool inOk = false;
  bool outOk = false;
  InterfaceRow row{QString::fromUtf8(line.left(colon).trimmed()), fields[0].toLongLong(&inOk),
                   fields[8].toLongLong(&outOk)};
  if (!inOk || !outOk) return std::nullopt;
  return row;
}

}  // namespace

int ReadInterfaceTable(const SystemFiles& files, InterfaceTable& table) {
  const std::optional<QByteArray> content = files.read(QStringLiteral("/proc/net/dev"));
  if (!content) return 0;
  std::vector<InterfaceRow> rows;
  const QList<QByteArray> lines = content->split('\n');
  // Two heading lines come first.
  for (qsizetype i = 2; i < lines.size(); ++i)
    if (std::optional<InterfaceRow> row = parseRow(lines[i])) rows.push_back(std::move(*row));
  table.entryCount = int(rows.size());
  table.rows = std::move(rows);
  return table.entryCount;
}

TrafficDelta NetworkDeltas::sample() {
  InterfaceTable fresh;
  const int count = ReadInterfaceTable(files_, fresh);
  TrafficDelta delta;
  if (fresh.rows.size() == previous_.rows.size()) {
    for (int i = 0; i < count; ++i) {
      const double out = double(fresh.rows[i].outOctets) - double(previous_.rows[i].outOctets);
      const double in = double(fresh.rows[i].inOctets) - double(previous_.rows[i].inOctets);
      if (out > 1 && in > 1) {
        delta = {qint64(out), qint64(in)};
        break;
      }
    }
  }
  previous_ = std::move(fresh);
  return delta;
}

QString networkDeltasText(TrafficDelta delta) {
  return QString::number(delta.up) + QLatin1Char('|') + QString::number(delta.down);
}

}  // namespace pimrose
