// The position table: the order of each line's records as lines grow in the
// shared pool (merge rules and file entries are pinned end to end).
#include "coverage/coverage_list.h"

#include <gtest/gtest.h>

#include "coverage/position_state.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

class CoverageListTest : public ::testing::Test {
 protected:
  void SetUp() override { e2e::write_file(dir_.file("three.c"), "a\nb\nc\n"); }
  e2e::TempDir dir_;
};

// Lines filled in turn move and grow within the shared record pool; each
// keeps its order: first appearance when merging, by column with the newest
// of equal columns first in the non-merging form. Counts tell records apart.
TEST_F(CoverageListTest, LineOrderAcrossInterleavedLines) {
  const std::pair<uint32_t, uint32_t> adds[] = {{2, 5}, {3, 1}, {2, 3}, {2, 5}, {1, 7}, {2, 9},
                                                {3, 4}, {3, 6}, {2, 1}, {2, 3}, {2, 8}};
  const std::pair<bool, const char*> cases[] = {
      {true, "7:5|5:5 3:13 9:6 1:9 8:11|1:2 4:7 6:8"},
      {false, "7:5|1:9 3:10 3:3 5:4 5:1 8:11 9:6|1:2 4:7 6:8"}};
  for (const auto& [merging, expected] : cases) {
    CoverageList list;
    list.set_merge_mode(merging);
    ASSERT_TRUE(list.set_name(dir_.file("three.c"), "three.c"));
    uint64_t count = 0;
    for (const auto& [line, column] : adds) list.add_block_count(line, column, ++count, false, nullptr);
    std::string got;
    for (uint32_t line = 1; line <= 3; ++line) {
      const char* separator = line > 1 ? "|" : "";
      for (const PositionRecord& r : list.records_on(line)) {
        got.append(separator).append(std::to_string(r.column)).append(":");
        got.append(std::to_string(r.count));
        separator = " ";
      }
    }
    EXPECT_EQ(got, expected) << (merging ? "merging" : "non-merging");
  }
}

}  // namespace
}  // namespace vorel
