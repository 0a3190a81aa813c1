#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

#include "platform/boot_clock.h"
#include "system/system_files.h"

namespace pimrose {

// Where the start of the user's session is read from: the login manager's (systemd-logind's) records
// under /run/systemd, which stamp every session and user with the CLOCK_MONOTONIC time they began.
struct SessionSources {
  SystemFiles files;
  QString sessionId;  // $XDG_SESSION_ID, which the login session hands to every program in it
  unsigned uid = 0;
  std::function<std::uint64_t()> monotonicMs;  // CLOCK_MONOTONIC now, in milliseconds
};

SessionSources systemSessionSources();

// Milliseconds since the user's session began: the session that $XDG_SESSION_ID names; without it
// (a program started by the user's service manager does not inherit it) the user's graphical
// session; without one, the user's first session of this boot. nullopt where no record can be read.
std::optional<std::uint64_t> sessionAgeMs(const SessionSources& sources);

// How long the user's session has been running, as the start-up rule counts it: a program started
// with the session (autostart runs at login, often minutes after boot) waits in the tray. Where no
// login manager keeps records (a container, a system without systemd-logind) it is the time since boot.
BootClock systemSessionClock();

}  // namespace pimrose
