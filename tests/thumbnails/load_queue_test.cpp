#include <gtest/gtest.h>

#include "thumbnails/load_queue.h"

namespace pimrose {
namespace {

LoadRequest request(int index, ListId list = ListId::Files, quint64 generation = 1) {
  return LoadRequest{list, generation, index, QStringLiteral("/p/%1.jpg").arg(index), 150, false, 0};
}

std::vector<int> drain(LoadQueue& queue) {
  std::vector<int> order;
  while (auto next = queue.pop()) order.push_back(next->index);
  return order;
}

std::vector<int> indicesOf(const std::vector<LoadRequest>& requests) {
  std::vector<int> out;
  for (const LoadRequest& r : requests) out.push_back(r.index);
  return out;
}

TEST(LoadQueueTest, NewestFirstWithoutAVisibleRangeAndRepeatsBecomeNewest) {
  LoadQueue queue;
  for (int i : {1, 2, 3}) EXPECT_TRUE(queue.push(request(i)));
  EXPECT_FALSE(queue.push(request(1)));
  EXPECT_TRUE(queue.push(request(1, ListId::Files, 2)));  // same index, newer list: a different item
  EXPECT_EQ(queue.size(), 4u);
  EXPECT_EQ(drain(queue), (std::vector<int>{1, 1, 3, 2}));
}

TEST(LoadQueueTest, VisibleItemsFirstThenByDistanceAndFarOnesDropped) {
  LoadQueue queue;
  for (int i : {100, 5, 60, 12, 40, 200}) queue.push(request(i));
  queue.push(request(7, ListId::Search));  // the other list has no range: distance 0
  const auto dropped = queue.setVisibleRange(ListId::Files, 10, 20);
  EXPECT_EQ(indicesOf(dropped), (std::vector<int>{100, 60, 200}));  // beyond 32 items
  EXPECT_EQ(drain(queue), (std::vector<int>{7, 12, 5, 40}));
}

TEST(LoadQueueTest, DropsRequestsOfOtherGenerationsOfOneListOnly) {
  LoadQueue queue;
  queue.push(request(1, ListId::Files, 1));
  queue.push(request(2, ListId::Files, 2));
  queue.push(request(3, ListId::Search, 1));
  EXPECT_EQ(indicesOf(queue.dropOtherGenerations(ListId::Files, 2)), std::vector<int>{1});
  EXPECT_EQ(drain(queue), (std::vector<int>{3, 2}));
}

}  // namespace
}  // namespace pimrose
