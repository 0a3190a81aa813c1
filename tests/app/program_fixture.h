#pragma once

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/program_windows.h"
#include "app/settings_wiring.h"
#include "app/shell_wiring.h"
#include "support/sandbox.h"

namespace pimrose {

// Stands in for the per-user socket: `others` says whether another instance holds the name.
class FakeInstanceChannel : public InstanceChannel {
 public:
  explicit FakeInstanceChannel(bool others) : others_(others) {}
  bool isAnotherInstance(const QString&) override { return others_; }
  void release() override { released = true; }
  bool released = false;

 private:
  bool others_;
};

class ProgramTest : public ::testing::Test {
 protected:
  ProgramServices services(std::uint64_t upTimeMs = 3'600'000, bool anotherInstance = false,
                           bool trayHost = true) {
    ProgramServices s;
    s.trayHostPresent = [trayHost] { return trayHost; };
    s.bootClock = [upTimeMs] { return upTimeMs; };
    s.sessionClock = s.bootClock;
    s.makeInstanceChannel = [this, anotherInstance] {
      auto channel = std::make_unique<FakeInstanceChannel>(anotherInstance);
      channel_ = channel.get();
      return channel;
    };
    s.settingsFile = sandbox_.filePath(QStringLiteral("config/Pimrose/Pimrose.ini"));
    s.autostartFile = sandbox_.filePath(QStringLiteral("config/autostart/Pimrose.desktop"));
    s.drawLine = [this](qsizetype count) { return drawn_ = count; };  // always the last line
    s.endProcess = [this](int code) { exitCodes_.push_back(code); };
    return s;
  }

  template <class T>
  static T* control(Program& program, const char* name) {
    return program.windows().mainWindow().control<T>(QString::fromUtf8(name));
  }

  test::Sandbox sandbox_;
  FakeInstanceChannel* channel_ = nullptr;
  qsizetype drawn_ = 0;
  std::vector<int> exitCodes_;
};

}  // namespace pimrose
