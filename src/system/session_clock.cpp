#include "system/session_clock.h"

#include <unistd.h>

#include <ctime>

#include <QRegularExpression>

namespace pimrose {
namespace {

// One "KEY=value" line of a record; empty when the record or the key is missing.
QByteArray recordValue(const SystemFiles& files, const QString& record, const QByteArray& key) {
  const std::optional<QByteArray> content = files.read(record);
  if (!content) return {};
  for (const QByteArray& line : content->split('\n'))
    if (line.startsWith(key + '=')) return line.mid(key.size() + 1).trimmed();
  return {};
}

// A session name stays inside the records' folder.
bool plainName(const QString& name) {
  static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-]+$"));
  return plain.match(name).hasMatch();
}

// The CLOCK_MONOTONIC microseconds a record was made at.
std::optional<std::uint64_t> startedUs(const SystemFiles& files, const QString& record) {
  bool ok = false;
  const std::uint64_t us = recordValue(files, record, "MONOTONIC").toULongLong(&ok);
  return ok && us > 0 ? std::optional(us) : std::nullopt;
}

std::optional<std::uint64_t> sessionStartedUs(const SystemFiles& files, const QString& id) {
  if (!plainName(id)) return std::nullopt;
  return startedUs(files, QStringLiteral("/run/systemd/sessions/") + id);
}

std::optional<std::uint64_t> startedUs(const SessionSources& sources) {
  if (const auto us = sessionStartedUs(sources.files, sources.sessionId)) return us;
  const QString user = QStringLiteral("/run/systemd/users/") + QString::number(sources.uid);
  const QString display = QString::fromUtf8(recordValue(sources.files, user, "DISPLAY"));
  if (const auto us = sessionStartedUs(sources.files, display)) return us;
  return startedUs(sources.files, user);
}

std::uint64_t monotonicNowMs() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

}  // namespace

SessionSources systemSessionSources() {
  return {SystemFiles(), qEnvironmentVariable("XDG_SESSION_ID"), static_cast<unsigned>(::getuid()),
          monotonicNowMs};
}

std::optional<std::uint64_t> sessionAgeMs(const SessionSources& sources) {
  const std::optional<std::uint64_t> us = startedUs(sources);
  if (!us) return std::nullopt;
  const std::uint64_t now = sources.monotonicMs();
  const std::uint64_t started = *us / 1000u;
  return now > started ? now - started : 0;
}

BootClock systemSessionClock() {
  return [boot = systemBootClock()] { return sessionAgeMs(systemSessionSources()).value_or(boot()); };
}

}  // namespace pimrose
