#include <gtest/gtest.h>

#include "thumbnails/icon_size.h"
#include "thumbnails/smart_release.h"

namespace pimrose {
namespace {

TEST(IconSizeTest, SliderPositionGivesIconAndItemSizes) {
  struct Case {
    int position, iconSize;
    QSize item;
  };
  for (const Case& c : {Case{0, 150, {150, 300}}, Case{10, 200, {200, 400}}, Case{-10, 100, {100, 200}},
                        Case{-30, 0, {0, 0}}}) {
    EXPECT_EQ(iconSizeForSliderPosition(c.position), c.iconSize) << c.position;
    EXPECT_EQ(itemSizeForIconSize(c.iconSize), c.item) << c.position;
  }
}

TEST(IconSizeTest, ThumbnailKeepsProportionsInsideTheItemBox) {
  struct Case {
    int width, height, iconSize;
    QSize expected;
  };
  for (const Case& c :
       {Case{4000, 3000, 150, {150, 112}}, Case{3000, 4000, 150, {150, 200}}, Case{0, 500, 150, {0, 0}},
        Case{500, 0, 150, {0, 0}}, Case{3, 1, 200, {200, 66}}, Case{1000, 2000, 150, {150, 300}},
        Case{1000, 2001, 150, {149, 300}}, Case{1, 10000, 150, {1, 300}}, Case{1, 65535, 650, {1, 1300}},
        Case{300, 1, 150, {150, 1}}, Case{65535, 1, 150, {150, 1}}, Case{400, 300, 0, {0, 0}}}) {
    const QSize size = thumbnailSize(c.width, c.height, c.iconSize);
    EXPECT_EQ(size, c.expected) << c.width << "x" << c.height;
    EXPECT_EQ(thumbnailHeight(c.width, c.height, c.iconSize), c.expected.height());
    EXPECT_LE(size.height(), itemSizeForIconSize(c.iconSize).height());
  }
}

TEST(SmartReleaseTest, ReleasesAtDistance2000WithTheAsymmetricRuleAhead) {
  struct Case {
    int index, count;
    QList<int> released;
  };
  for (const Case& c : {Case{2500, 5000, {500, 4500}}, Case{1500, 5000, {}}, Case{2000, 5000, {0}},
                        Case{2001, 5000, {1, 4001}}, Case{3000, 5000, {1000}}, Case{2999, 5000, {999, 4999}},
                        Case{0, 1, {}}}) {
    EXPECT_EQ(smartReleaseIndices(c.index, c.count), c.released) << c.index;
  }
}

}  // namespace
}  // namespace pimrose
