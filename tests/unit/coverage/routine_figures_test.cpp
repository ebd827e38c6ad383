// The order of the block lists.
#include "coverage/routine_figures.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

// "line:col=count" of the block list.
std::string positions(const RoutineBlocks& r) {
  std::string out;
  for (const BlockDetail& b : r.block_list)
    out += std::to_string(b.line) + ":" + std::to_string(b.column) + "=" +
           std::to_string(static_cast<int>(b.count)) + " ";
  return out;
}

TEST(RoutineBlocks, LaterBlockFirstAmongEqualPositions) {
  RoutineBlocks r;
  r.block_list = {{10, 5, 1}, {9, 1, 2}, {10, 5, 3}, {10, 2, 4}};
  order_block_list(r.block_list);
  EXPECT_EQ(positions(r), "9:1=2 10:2=4 10:5=3 10:5=1 ");
}

}  // namespace
}  // namespace vorel
