#include <gtest/gtest.h>

#include "text/byte_count_text.h"

namespace pimrose {
namespace {

TEST(ByteCountTextTest, UnitsRoundingAndLimits) {
  struct Case {
    qint64 size;
    const char* text;
  };
  const Case cases[] = {
      {500, "500B"},
      {1024, "1024B"},  // the unit changes only above 1024
      {1025, "1K"},
      {1126, "1.1K"},
      {1280, "1.3K"},  // 1.25: halves away from zero
      {1536, "1.5K"},
      {1048576, "1024K"},
      {1048577, "1M"},
      {1101004, "1M"},  // 1.0499992...
      {1101005, "1.1M"},
      {2097152, "2M"},
      {1073741825, "1G"},
      {1099511627777, "1T"},
      {qint64(1) << 60, "1024P"},
      {(qint64(1) << 60) + 1, "1024P"},  // one byte more is lost in double precision
      {(qint64(1) << 60) + 1024, "1E"},
      {std::numeric_limits<qint64>::max(), "8E"},
      {1, "1B"},
      {0, "0"},
      {-5, "0"},
  };
  for (const Case& c : cases) EXPECT_EQ(ByteCountText(c.size), QLatin1String(c.text)) << c.size;
  EXPECT_EQ(ByteCountText(1536, true), QStringLiteral("2"));
  EXPECT_EQ(ByteCountText(1280, true), QStringLiteral("1"));
  EXPECT_EQ(ByteCountText(0, true), QStringLiteral("0"));
}

}  // namespace
}  // namespace pimrose
