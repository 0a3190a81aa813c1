#include <gtest/gtest.h>

#include "notices/overlay_geometry.h"
#include "notices/slide_path.h"
#include "notices/tip_text.h"
#include "text/gbk_bytes.h"

namespace pimrose {
namespace {

struct WidthCase {
  const char* what;
  QString text;
  int width;
};

TEST(NoticeGeometryTest, WidthFollowsCodePage936Bytes) {
  const WidthCase cases[] = {
      {"empty", QString(), 230},
      {"19 ASCII bytes", QString(19, u'a'), 230},
      {"20 ASCII bytes", QString(20, u'a'), 350},
      {"9 Chinese + 1 ASCII = 19 bytes", QString(9, u'中') + u'a', 230},
      {"10 Chinese = 20 bytes", QString(10, u'中'), 350},
      {"a real result text of 16 bytes", QStringLiteral("开机启动设置成功"), 230},
      // A character the code page lacks counts as its one '?'.
      {"19 characters outside the code page", QString(19, u'\u0e01'), 230},
  };
  for (const WidthCase& c : cases) {
    EXPECT_EQ(noticeWidth(c.text), c.width) << c.what;
    const QRect start = noticeStartRect(1200, c.text);
    EXPECT_EQ(start, QRect(485, 10, c.width, 60)) << c.what << ": same left edge for both widths";
  }
}

TEST(NoticeGeometryTest, SlotsStackSixtyApartAndReuseTheHighestFreeOne) {
  EXPECT_EQ(noticeRestTop(0), 50);
  EXPECT_EQ(noticeRestTop(1), 110);
  EXPECT_EQ(noticeRestTop(2), 170);
  const std::pair<std::vector<int>, int> cases[] = {{{}, 0},  {{0}, 1},    {{0, 1}, 2},
                                                    {{1}, 0}, {{0, 2}, 1}, {{2, 0, 1}, 3}};
  for (const auto& [taken, free] : cases) EXPECT_EQ(freeNoticeSlot(taken), free);
}

TEST(OverlayGeometryTest, PromptMaskAndTipPlaces) {
  EXPECT_EQ(promptHolderRect({1200, 700}), QRect(1, 1, 1198, 698));
  EXPECT_EQ(promptPanelRect({1198, 698}, {328, 176}), QRect(495, 261, 328, 176));
  // Odd differences truncate.
  EXPECT_EQ(promptPanelRect({1199, 699}, {328, 176}), QRect(495, 261, 328, 176));
  EXPECT_EQ(maskRect({1200, 700}), QRect(1, 32, 1198, 637));
  EXPECT_EQ(tipWindowRect({300, 400}, {40, 14}), QRect(300, 430, 45, 14));
  EXPECT_EQ(tipLabelRect({40, 14}), QRect(1, 1, 43, 12));
}

struct PathCase {
  int from;
  int to;
  int steps;
  size_t length;
};

TEST(SlidePathTest, EndsExactlyAtTheTargetMovingOneWay) {
  const PathCase cases[] = {
      {10, 50, 10, 10}, {50, 10, 8, 8}, {10, 170, 10, 10}, {10, 50, 0, 1}, {30, 30, 5, 5}};
  for (const PathCase& c : cases) {
    const std::vector<int> path = slidePath(c.from, c.to, c.steps);
    ASSERT_EQ(path.size(), c.length) << c.from << "->" << c.to;
    EXPECT_EQ(path.back(), c.to);
    int previous = c.from;
    for (int position : path) {
      EXPECT_GE((position - previous) * (c.to - c.from), 0) << "turned back at " << position;
      EXPECT_GE(position, std::min(c.from, c.to));
      EXPECT_LE(position, std::max(c.from, c.to));
      previous = position;
    }
  }
  // Easing out: the first step is the longest.
  const std::vector<int> in = slidePath(10, 50, 10);
  EXPECT_GT(in[0] - 10, in[9] - in[8]);
}

TEST(SlidePathTest, FadeRunsFromOpaqueToInvisible) {
  EXPECT_EQ(fadeAlpha(50, 50, 10), 255);
  EXPECT_EQ(fadeAlpha(10, 50, 10), 0);
  EXPECT_EQ(fadeAlpha(30, 50, 10), 128);
  EXPECT_EQ(fadeAlpha(70, 50, 10), 255);
  EXPECT_EQ(fadeAlpha(0, 50, 10), 0);
  EXPECT_EQ(fadeAlpha(10, 10, 10), 0);
}

struct TipCase {
  const char* what;
  QString text;
  QString shown;
};

TEST(TipTextTest, CutAtFiveHundredBytesNeverInsideACharacter) {
  const TipCase cases[] = {
      {"600 ASCII bytes", QString(600, u'x'), QString(500, u'x') + QStringLiteral("...")},
      {"exactly 500 bytes stays whole", QString(500, u'x'), QString(500, u'x')},
      {"501 bytes", QString(501, u'x'), QString(500, u'x') + QStringLiteral("...")},
      {"300 Chinese = 600 bytes", QString(300, u'中'), QString(250, u'中') + QStringLiteral("...")},
      {"odd start: the character across byte 500 goes whole", u'a' + QString(300, u'中'),
       u'a' + QString(249, u'中') + QStringLiteral("...")},
      {"empty", QString(), QString()},
  };
  for (const TipCase& c : cases) {
    EXPECT_EQ(tipText(c.text), c.shown) << c.what;
    EXPECT_LE(gbkByteLength(tipText(c.text)), 503) << c.what;
  }
}

}  // namespace
}  // namespace pimrose
