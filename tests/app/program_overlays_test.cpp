#include <gtest/gtest.h>

#include "app/program.h"
#include "app/program_windows.h"
#include "notices/mask_cover.h"
#include "notices/notices.h"
#include "support/sandbox.h"
#include "ui/timer.h"

namespace pimrose {
namespace {

class LoneInstance : public InstanceChannel {
 public:
  bool isAnotherInstance(const QString&) override { return false; }
  void release() override {}
};

TEST(ProgramOverlaysTest, StartUpBuildsTheOverlaysAndLeavesTheMaskTimerStopped) {
  test::Sandbox sandbox;
  ProgramServices services;
  services.bootClock = [] { return std::uint64_t{3'600'000}; };
  services.sessionClock = services.bootClock;
  services.makeInstanceChannel = [] { return std::make_unique<LoneInstance>(); };
  services.settingsFile = sandbox.filePath(QStringLiteral("Pimrose.ini"));
  services.autostartFile = sandbox.filePath(QStringLiteral("autostart/Pimrose.desktop"));
  services.drawLine = [](qsizetype) { return qsizetype{1}; };
  services.endProcess = [](int) {};
  Program program(std::move(services));
  ASSERT_EQ(program.StartUp(), Program::Start::Running);

  const Overlays& overlays = program.overlays();
  ASSERT_TRUE(overlays.notices && overlays.prompt && overlays.tips && overlays.mask);
  EXPECT_FALSE(program.windows().mainWindow().control<ui::Timer>(QStringLiteral("时钟_线程"))->isRunning());
  overlays.notices->ShowNotice(QStringLiteral("保存配置完成"), QStringLiteral("完成"));
  EXPECT_EQ(overlays.notices->noticeCount(), 1);
}

}  // namespace
}  // namespace pimrose
