#include <gtest/gtest.h>

#include "notices/mask_cover.h"
#include "ui/filter.h"
#include "ui/timer.h"
#include "ui/window.h"

namespace pimrose {
namespace {

TEST(MaskCoverTest, TheTimerRunsOnlyWhileTheMaskCoversTheWindow) {
  auto window = ui::loadWindow(ui::mainWindowDefinition());
  window->resize(1200, 700);
  auto* timer = window->control<ui::Timer>(QStringLiteral("时钟_线程"));
  auto* mask = window->control<ui::Filter>(QStringLiteral("滤镜_遮罩"));
  ASSERT_TRUE(timer->isRunning()) << "the table starts it";
  auto* cover = new MaskCover(*window);
  EXPECT_FALSE(timer->isRunning()) << "nothing to do: an idle program is not woken";
  EXPECT_FALSE(mask->shown());

  cover->setCovered(true);
  EXPECT_TRUE(timer->isRunning());
  EXPECT_EQ(timer->interval(), 100);
  EXPECT_TRUE(mask->shown());
  EXPECT_EQ(mask->geometry(), QRect(1, 32, 1198, 637));
  window->resize(1400, 900);
  Q_EMIT timer->elapsed();
  EXPECT_EQ(mask->geometry(), QRect(1, 32, 1398, 837)) << "the timer keeps it over the window";

  cover->setCovered(false);
  EXPECT_FALSE(timer->isRunning());
  EXPECT_FALSE(mask->shown());
}

}  // namespace
}  // namespace pimrose
