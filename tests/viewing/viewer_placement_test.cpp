#include <gtest/gtest.h>

#include "codecs/decode_limits.h"
#include "viewing/viewer_placement.h"

namespace pimrose {
namespace {

struct ToggleCase {
  const char* what;
  QRect box;
  QSize picture;
  QRect expected;
};

class ToggleInFrame : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(ToggleInFrame, PlacesTheBox) {
  const ToggleCase& c = GetParam();
  EXPECT_EQ(toggledBox(c.box, QSize(800, 600), c.picture), c.expected) << c.what;
}

const QRect kFit(0, 0, 800, 600);

INSTANTIATE_TEST_SUITE_P(
    Cases, ToggleInFrame,
    ::testing::Values(
        ToggleCase{"taller: centred across, top edge shown", kFit, {4000, 3000}, {-1600, 0, 4000, 3000}},
        ToggleCase{"wide and short: centred both ways", kFit, {4000, 500}, {-1600, 50, 4000, 500}},
        ToggleCase{"narrow and tall", kFit, {500, 2000}, {150, 0, 500, 2000}},
        ToggleCase{"fits the frame: nothing changes", kFit, {400, 300}, kFit},
        ToggleCase{"exactly the frame: nothing changes", kFit, {800, 600}, kFit},
        ToggleCase{"does not decode (0 x 0): nothing changes", kFit, {0, 0}, kFit},
        ToggleCase{"natural back to the frame", {-1600, 0, 4000, 3000}, {4000, 3000}, kFit},
        ToggleCase{
            "dragged fit box counts as fit", {37, -12, 800, 600}, {4000, 3000}, {-1600, 0, 4000, 3000}},
        ToggleCase{"odd overhang truncates toward zero", kFit, {801, 601}, {0, 0, 801, 601}},
        ToggleCase{"three pixels over: -1", kFit, {803, 500}, {-1, 50, 803, 500}}));

struct StepCase {
  int current;
  int count;
  int delta;
  int expected;
};

class WheelStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(WheelStep, StopsAtTheEnds) {
  const StepCase& c = GetParam();
  EXPECT_EQ(wheelStepTarget(c.current, c.count, c.delta), c.expected)
      << c.current << " of " << c.count << " delta " << c.delta;
}

INSTANTIATE_TEST_SUITE_P(Cases, WheelStep,
                         ::testing::Values(StepCase{2, 5, -120, 3}, StepCase{2, 5, 120, 1},
                                           StepCase{4, 5, -120, 4},  // down on the last keeps it
                                           StepCase{0, 5, 120, 0},   // up on the first keeps it
                                           StepCase{0, 5, 0, 0},     // zero counts as up
                                           StepCase{-1, 5, -120, 0}, StepCase{-1, 5, 120, 0},
                                           StepCase{0, 1, -120, 0}, StepCase{0, 0, -120, -1}));

TEST(DecodeTarget, FitsTheBoxNeverEnlargesAndStaysWithinTheLimit) {
  EXPECT_EQ(decodeTarget({6000, 4000}, {1200, 700}), QSize(1050, 700));
  EXPECT_EQ(decodeTarget({4000, 6000}, {1200, 700}), QSize(466, 700));
  EXPECT_EQ(decodeTarget({400, 300}, {1200, 700}), QSize(400, 300));
  EXPECT_EQ(decodeTarget({6000, 4000}, {6000, 4000}), QSize(6000, 4000));
  EXPECT_TRUE(decodeTarget({0, 0}, {1200, 700}).isEmpty());

  // Natural size of a picture past the full-decode limit: a reduced decode, same proportions.
  const QSize huge = decodeTarget({40000, 30000}, {40000, 30000});
  EXPECT_TRUE(fitsDecodeLimit(huge * 2));
  EXPECT_GT(huge.width(), 4000);
  EXPECT_NEAR(double(huge.width()) / huge.height(), 4.0 / 3.0, 0.01);
}

}  // namespace
}  // namespace pimrose
