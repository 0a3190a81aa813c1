#include <gtest/gtest.h>

#include "thumbnails/early_thumbnails.h"

namespace pimrose {
namespace {

LoadRequest itemRequest(const QString& path, int index) {
  return LoadRequest{ListId::Files, 1, index, path, 150, false, 0, false, 1.0};
}

LoadResult resultFor(const LoadRequest& request) {
  LoadResult result{request, {}};
  result.thumbnail.height = request.index + 1;
  return result;
}

TEST(EarlyThumbnailsTest, ResultOfAnOlderRoundIsNeverHandedOut) {
  EarlyThumbnails early;
  const std::vector<LoadRequest> first = early.start({QStringLiteral("/a.jpg")}, itemRequest({}, 0));
  early.start({QStringLiteral("/b.jpg")}, itemRequest({}, 0));
  EXPECT_FALSE(early.arrived(resultFor(first.at(0))).has_value());
  LoadResult ready;
  EXPECT_EQ(early.claim(itemRequest(QStringLiteral("/a.jpg"), 0), &ready), EarlyThumbnails::Claim::None);
  EXPECT_EQ(early.size(), 1);
}

// A list may hold one path twice (a folder dropped with its sub-folder); one early result serves
// one item, the other item loads on its own.
TEST(EarlyThumbnailsTest, OneEarlyResultServesOneItem) {
  EarlyThumbnails early;
  const std::vector<LoadRequest> made = early.start({QStringLiteral("/p.jpg")}, itemRequest({}, 0));
  EXPECT_EQ(early.claim(itemRequest(QStringLiteral("/p.jpg"), 3), nullptr), EarlyThumbnails::Claim::Waiting);
  EXPECT_EQ(early.claim(itemRequest(QStringLiteral("/p.jpg"), 9), nullptr), EarlyThumbnails::Claim::None);
  const std::optional<LoadResult> forItem = early.arrived(resultFor(made.at(0)));
  ASSERT_TRUE(forItem.has_value());
  EXPECT_EQ(forItem->request.index, 3);
  EXPECT_EQ(forItem->request.generation, 1u);
  EXPECT_EQ(forItem->thumbnail.height, 1);
  EXPECT_EQ(early.size(), 0);
}

}  // namespace
}  // namespace pimrose
