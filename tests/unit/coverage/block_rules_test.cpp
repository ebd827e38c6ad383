#include "coverage/block_rules.h"

#include <gtest/gtest.h>

#include "profile/dpi.h"

namespace vorel {
namespace {

dpi_routine record(uint64_t flags, std::vector<dpi_block> blocks, std::vector<uint32_t> entries) {
  dpi_routine d;
  d.flags = flags;
  d.block_cnt = static_cast<uint32_t>(blocks.size());
  d.blocks = std::move(blocks);
  for (uint32_t e : entries) d.entries.push_back(dpi_entry_point{"f", e, 0});
  return d;
}

TEST(BlockRules, SitesAndBlocksLeftOut) {
  dpi_routine d = record(0x10, {{5, 3, 2, 0, 0, 0}, {1, 0, 4, 0, 0, 0}, {1, 7, 0, 0, 0, 0},
                                {1, 8, 1, 0, 0, 1}},
                         {0});
  BlockSite s = block_site(d, 0, 9, false);
  EXPECT_EQ(s.line, 3u);
  EXPECT_EQ(s.column, 2u);
  EXPECT_FALSE(s.left_out);
  EXPECT_TRUE(block_site(d, 1, 9, false).left_out);  // no line
  EXPECT_TRUE(block_site(d, 2, 9, false).left_out);  // no column
  EXPECT_FALSE(block_site(d, 3, 9, false).left_out);
  EXPECT_TRUE(block_site(d, 3, 9, true).left_out);   // handler with -nounwind
  EXPECT_TRUE(block_site(d, 3, 9, true).handler);

  // Without positions every block counts at the start line, column 1.
  d.flags = 0;
  s = block_site(d, 1, 9, false);
  EXPECT_EQ(s.line, 9u);
  EXPECT_EQ(s.column, 1u);
  EXPECT_FALSE(s.left_out);
}

TEST(BlockRules, EntryFrequencySumsEntryBlocksAndSaturates) {
  dpi_routine d = record(0x10, {{5, 1, 1, 0, 0, 0}, {7, 2, 1, 0, 0, 0}}, {0, 1, 2});
  EXPECT_EQ(entry_frequency(d), 12u);  // the entry outside the record adds nothing
  d.blocks[1].count = UINT64_MAX - 1;
  EXPECT_EQ(entry_frequency(d), UINT64_MAX);
  EXPECT_TRUE(routine_executed(&d));
  EXPECT_FALSE(routine_executed(nullptr));
}

}  // namespace
}  // namespace vorel
