#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/first_paint_probe.h"
#include "support/wait_for.h"

namespace pimrose {
namespace {

// The work queued behind the first paint must run whether the window paints itself or only its
// children do: a child as large as the window, opaque, leaves the window nothing of its own to paint.
TEST(FirstPaintProbeTest, RunsOnceTheWindowIsOnScreenWhateverPaintsIt) {
  for (const bool covered : {false, true}) {
    QWidget window;
    window.resize(240, 120);
    if (covered) {
      auto* cover = new QWidget(&window);
      cover->setGeometry(window.rect());
      QPalette palette = cover->palette();
      palette.setColor(QPalette::Window, Qt::darkGray);
      cover->setPalette(palette);
      cover->setAutoFillBackground(true);
    }
    int runs = 0;
    FirstPaintProbe::watch(window, [&runs] { ++runs; });
    window.show();
    EXPECT_TRUE(test::waitFor([&runs] { return runs > 0; })) << (covered ? "covered" : "bare");
    window.update();
    test::waitFor([] { return false; }, 100);
    EXPECT_EQ(runs, 1) << (covered ? "covered" : "bare");
  }
}

}  // namespace
}  // namespace pimrose
