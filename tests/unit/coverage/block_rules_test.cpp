// The block rules shared by the file pass and the function lists; the block
// sites are exercised through tests/unit/report/routine_blocks_test.cpp.
#include "coverage/block_rules.h"

#include <gtest/gtest.h>

#include "profile/dpi.h"

namespace vorel {
namespace {

// The entry frequency sums the entry blocks (one outside the record adds
// nothing) and saturates.
TEST(BlockRules, EntryFrequencySumsEntryBlocksAndSaturates) {
  DpiRoutine d;
  d.flags = 0x10;
  d.block_cnt = 2;
  d.blocks = {DpiBlock{5, 1, 1, 0, 0, 0}, DpiBlock{7, 2, 1, 0, 0, 0}};
  for (uint32_t e : {0u, 1u, 2u}) d.entries.push_back(DpiEntryPoint{"f", e, 0});
  EXPECT_EQ(entry_frequency(d), 12u);
  d.blocks[1].count = UINT64_MAX - 1;
  EXPECT_EQ(entry_frequency(d), UINT64_MAX);
  EXPECT_TRUE(routine_executed(&d));
  EXPECT_FALSE(routine_executed(nullptr));
}

}  // namespace
}  // namespace vorel
