// The block figures of the function and block lists.
#include "coverage/routine_figures.h"

#include <gtest/gtest.h>

#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {
namespace {

struct B {
  uint64_t count;
  uint32_t line, col;
  uint32_t handler = 0;
};

DpiRoutine make_record(std::vector<B> blocks, std::vector<uint32_t> entry_blocks = {0}) {
  DpiRoutine d;
  d.flags = 0x10;
  d.block_cnt = static_cast<uint32_t>(blocks.size());
  for (const B& b : blocks) d.blocks.push_back(DpiBlock{b.count, b.line, b.col, 0, 0, b.handler});
  for (uint32_t e : entry_blocks) d.entries.push_back(DpiEntryPoint{"f", e, 0});
  return d;
}

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

// Blocks without a line or column are left out; entry blocks outside the
// record add nothing; more static than dynamic blocks make the static count
// the total.
TEST(RoutineBlocks, RecordFigures) {
  DpiRoutine d = make_record({{5, 3, 1}, {0, 4, 2}, {7, 0, 0}, {2, 5, 1}}, {0, 3, 9});
  RoutineBlocks r = blocks_of_record(d, 3, 2, BlockRules{});
  EXPECT_TRUE(r.executed && r.frequency == 7 && r.blocks == 3 && r.covered == 2);
  EXPECT_EQ(positions(r), "3:1=5 4:2=0 5:1=2 ");
  EXPECT_EQ(blocks_of_record(d, 3, 6, BlockRules{}).blocks, 5u);
  EXPECT_FALSE(blocks_of_record(make_record({{0, 3, 1}}), 3, 1, BlockRules{}).executed);
  // Without positions every block counts at the start line, column 1.
  DpiRoutine flat = make_record({{4, 0, 0}, {0, 0, 0}});
  flat.flags = 0;
  EXPECT_EQ(positions(blocks_of_record(flat, 12, 2, BlockRules{})), "12:1=0 12:1=4 ");
}

}  // namespace
}  // namespace vorel
