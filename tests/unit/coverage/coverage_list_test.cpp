// The position table: merge rules, the non-merging form of -txtlcov, last
// block marks, file entries, source line counts.
#include "coverage/coverage_list.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/position_state.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

class CoverageListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    src_ = dir_.file("three.c");
    e2e::write_file(src_, "a\nb\nc\n");  // 3 lines: the bound B is 4
    ASSERT_TRUE(list_.bAddFilename(src_, "three.c"));
    ASSERT_TRUE(list_.bSetName(src_, "three.c"));
  }
  void add(uint32_t line, uint32_t column, uint64_t count, bool is_new = false, uint32_t** out = nullptr) {
    list_.bAddBlockCount(line, column, count, is_new, out);
  }
  // "count blocks/covered/uncovered" at a position, "-" when there is none.
  std::string at(uint32_t line, uint32_t column) {
    const PositionRecord* r = list_.position(line, column);
    if (!r) return "-";
    return (r->count == kNeverExecuted ? std::string("ones") : std::to_string(r->count)) + " " +
           std::to_string(r->blocks) + "/" + std::to_string(r->covered) + "/" +
           std::to_string(r->uncovered) + (r->is_new ? " new" : "") + (r->last_block ? " last" : "");
  }

  e2e::TempDir dir_;
  std::string src_;
  coverage_list list_;
};

// Counts are summed; the all-ones count of a never-executed start yields to
// any real count (0 too) and counts as covered here; the new flag is an OR.
// Lines beyond B go to (1, 1); line 0 is ignored.
TEST_F(CoverageListTest, MergingForm) {
  add(2, 5, kNeverExecuted);
  add(2, 5, 7);
  add(2, 5, 3);
  EXPECT_EQ(at(2, 5), "10 3/3/0");
  add(3, 1, 0);
  add(3, 1, kNeverExecuted, true);
  EXPECT_EQ(at(3, 1), "ones 2/1/1 new");
  add(3, 1, 0);
  EXPECT_EQ(at(3, 1), "0 3/1/2 new");
  add(3, 1, 4);
  EXPECT_EQ(at(3, 1), "4 4/2/2 new");
  add(4, 7, 1);  // line B is still a line
  add(5, 7, 2);
  EXPECT_EQ(at(4, 7), "1 1/1/0");
  EXPECT_EQ(at(1, 1), "2 1/1/0");
  EXPECT_EQ(at(5, 7), "-");
  uint32_t* out = reinterpret_cast<uint32_t*>(&out);
  add(0, 3, 9, false, &out);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(at(0, 3), "-");
}

// `out` reports the uncovered counter only once something is covered;
// -nopartial clears it.
TEST_F(CoverageListTest, OutReportsTheUncoveredCounter) {
  uint32_t* out = nullptr;
  add(2, 2, 0, false, &out);
  EXPECT_EQ(out, nullptr);
  add(2, 2, 4, false, &out);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(*out, 1u);
  *out = 0;
  EXPECT_EQ(at(2, 2), "4 2/1/0");
}

// Each block is its own record, put in front of the first record at the
// same or a later column.
TEST_F(CoverageListTest, NonMergingFormAndLineQueries) {
  list_.set_merge_mode(false);
  uint32_t* out = reinterpret_cast<uint32_t*>(&out);
  add(2, 5, 1, false, &out);
  EXPECT_EQ(out, nullptr);
  add(2, 3, 0);
  add(2, 5, 2);
  add(2, 4, 9, true);
  std::optional<LineInfo> info = list_.line_query(2);
  ASSERT_TRUE(info);
  std::string chain;
  for (const PositionRecord& r : info->chain)
    chain += std::to_string(r.column) + "=" + std::to_string(r.count) + "/" + std::to_string(r.covered) + " ";
  EXPECT_EQ(chain, "3=0/0 4=9/1 5=2/1 5=1/1 ");
  EXPECT_EQ(std::make_tuple(info->max_count, info->blocks, info->covered),
            std::make_tuple(uint64_t{9}, 4u, 3u));
  list_.set_merge_mode(true);
  add(1, 1, kNeverExecuted);
  add(1, 2, 0);
  EXPECT_EQ(list_.line_query(1)->max_count, kNeverExecuted);
  EXPECT_EQ(list_.line_query(1)->covered, 0u);  // neither 0 nor all-ones counts here
  EXPECT_TRUE(list_.line_query(3)->chain.empty());
  EXPECT_FALSE(list_.line_query(4));  // B
}

TEST_F(CoverageListTest, PositionCoveredAndLastBlockMarks) {
  EXPECT_TRUE(list_.bIsPositionCovered(0));
  EXPECT_TRUE(list_.bIsPositionCovered(5));
  EXPECT_FALSE(list_.bIsPositionCovered(1));  // empty chain
  add(1, 2, 3);
  EXPECT_FALSE(list_.bIsPositionCovered(1));  // not column 1
  add(1, 1, kNeverExecuted);
  EXPECT_FALSE(list_.bIsPositionCovered(1));
  add(1, 1, 6);
  EXPECT_TRUE(list_.bIsPositionCovered(1));
  // A mark reuses the column-1 record or appends one; beyond B it goes to line 1.
  add(3, 1, 2);
  list_.bMarkLastBlock(3);
  list_.bMarkLastBlock(2);
  EXPECT_EQ(at(3, 1), "2 1/1/0 last");
  EXPECT_EQ(list_.line_query(3)->chain.size(), 1u);
  EXPECT_EQ(at(2, 1), "0 0/0/0 last");
  list_.bMarkLastBlock(40);
  EXPECT_EQ(at(1, 1), "6 2/2/0 last");
}

TEST_F(CoverageListTest, FileEntriesAreUniqueByNameAndListedByMask) {
  list_.bAddFilename(src_, "other");
  EXPECT_EQ(list_.entries().size(), 1u);
  EXPECT_EQ(list_.current_entry()->report_name, "three.c");
  EXPECT_EQ(list_.current_entry()->flags, static_cast<uint32_t>(kFileReadable));
  list_.bAddFilename(dir_.file("missing.c"), "missing.c");
  EXPECT_EQ(list_.current_entry()->flags, 0u);
  list_.current_entry()->flags |= kFileCovered;
  list_.bAddFilename(dir_.file("third.c"), "third.c");
  list_.current_entry()->flags |= kFileCovered;
  std::vector<const FileEntry*> covered = list_.uiGetFilenames(kFileCovered);
  ASSERT_EQ(covered.size(), 2u);
  EXPECT_EQ(covered[0]->report_name + covered[1]->report_name, "missing.cthird.c");
  EXPECT_TRUE(list_.uiGetFilenames(kFileUncovered).empty());
}

TEST(CoverageListErrors, MissingSourceAndOperationsWithoutATable) {
  coverage_list list;
  auto missing = test_support::capture([&] { EXPECT_FALSE(list.bSetName("/nonexistent/x.c", "x.c")); });
  EXPECT_EQ(missing.out, "\nWarning - File /nonexistent/x.c not found!\n");
  EXPECT_EQ(list.current_node(), nullptr);
  auto add = test_support::capture([&] { list.bAddBlockCount(1, 1, 1, false, nullptr); });
  auto covered = test_support::capture([&] { list.bIsPositionCovered(1); });
  auto mark = test_support::capture([&] { list.bMarkLastBlock(1); });
  EXPECT_EQ(add.err + covered.err + mark.err,
            "ERROR: bAddBlockCount is not properly initialized!\n"
            "ERROR: bIsPositionCovered is not properly initialized!\n"
            "ERROR: bMarkLastBlock is not properly initialized!\n");
  EXPECT_EQ(add.status, 1);
}

TEST(SourceLines, CountNewlinesPlusAnUnterminatedLastLine) {
  e2e::TempDir dir;
  const std::pair<const char*, uint32_t> cases[] = {
      {"", 0}, {"a", 1}, {"a\n", 1}, {"a\nb", 2}, {"\n\n", 2}, {"a\r\nb\r\n", 2}};
  for (const auto& [text, lines] : cases) {
    e2e::write_file(dir.file("f"), text);
    EXPECT_EQ(count_source_lines(dir.file("f")), lines) << '"' << text << '"';
  }
  EXPECT_FALSE(count_source_lines(dir.file("none")));
}

}  // namespace
}  // namespace vorel
