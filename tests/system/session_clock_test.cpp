#include <gtest/gtest.h>

#include "support/sandbox.h"
#include "system/session_clock.h"

namespace pimrose {
namespace {

// The login manager's records at 1,000 s of CLOCK_MONOTONIC: session 2 (graphical) began at 700 s,
// session c3 (an ssh login) at 990 s, and the user's first session at 600 s.
void writeRecords(const test::Sandbox& root) {
  root.write(QStringLiteral("run/systemd/sessions/2"),
             "# This is private data. Do not parse.\nUID=1000\nTYPE=x11\nREALTIME=1700000000000000\n"
             "MONOTONIC=700000000\n");
  root.write(QStringLiteral("run/systemd/sessions/c3"), "UID=1000\nTYPE=tty\nMONOTONIC=990000000\n");
  root.write(QStringLiteral("run/systemd/users/1000"), "NAME=alice\nDISPLAY=2\nMONOTONIC=600000000\n");
  root.write(QStringLiteral("run/systemd/users/1001"), "NAME=bob\nMONOTONIC=995000000\n");
}

TEST(SessionClockTest, CountsFromTheStartOfTheUsersSession) {
  const test::Sandbox root;
  writeRecords(root);
  struct Case {
    const char* what;
    const char* sessionId;
    unsigned uid;
    std::optional<std::uint64_t> ageMs;
  } cases[] = {
      {"the session the program runs in", "c3", 1000, 10'000},
      {"no session named: the user's graphical one", "", 1000, 300'000},
      {"a session without a record: the graphical one", "9", 1000, 300'000},
      {"a name that would leave the records' folder", "../users/1001", 1000, 300'000},
      {"no graphical session: the user's first", "", 1001, 5'000},
      {"no records for the user", "", 1002, std::nullopt},
  };
  for (const Case& c : cases) {
    const SessionSources sources{SystemFiles(root.path()), QString::fromUtf8(c.sessionId), c.uid,
                                 [] { return std::uint64_t{1'000'000}; }};
    EXPECT_EQ(sessionAgeMs(sources), c.ageMs) << c.what;
  }
}

}  // namespace
}  // namespace pimrose
