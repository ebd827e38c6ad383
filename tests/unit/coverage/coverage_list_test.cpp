#include "coverage/coverage_list.h"

#include <gtest/gtest.h>

#include "coverage/position_state.h"
#include "driver/diag.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

class CoverageListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    src_ = dir_.file("three.c");
    e2e::write_file(src_, "a\nb\nc\n");  // 3 lines: B = 4
    ASSERT_TRUE(list_.bAddFilename(src_, "three.c"));
    ASSERT_TRUE(list_.bSetName(src_, "three.c"));
  }
  const PositionRecord& at(uint32_t line, uint32_t column) {
    const PositionRecord* r = list_.position(line, column);
    EXPECT_NE(r, nullptr) << line << "," << column;
    static PositionRecord none;
    return r ? *r : none;
  }

  e2e::TempDir dir_;
  std::string src_;
  coverage_list list_;
};

TEST_F(CoverageListTest, MergingFormSumsCountsAndHonoursTheAllOnesCount) {
  // A never-executed start position, then a real count: the real count wins.
  list_.bAddBlockCount(2, 5, kNeverExecuted, false, nullptr);
  list_.bAddBlockCount(2, 5, 7, false, nullptr);
  list_.bAddBlockCount(2, 5, 3, false, nullptr);
  EXPECT_EQ(at(2, 5).count, 10u);
  EXPECT_EQ(at(2, 5).blocks, 3u);
  EXPECT_EQ(at(2, 5).covered, 3u);  // the all-ones count counts as covered here
  EXPECT_EQ(at(2, 5).uncovered, 0u);

  // Count 0, then all-ones: all-ones; a later real count replaces it.
  list_.bAddBlockCount(3, 1, 0, false, nullptr);
  list_.bAddBlockCount(3, 1, kNeverExecuted, true, nullptr);
  EXPECT_EQ(at(3, 1).count, kNeverExecuted);
  EXPECT_EQ(at(3, 1).covered, 1u);
  EXPECT_EQ(at(3, 1).uncovered, 1u);
  EXPECT_TRUE(at(3, 1).is_new);
  list_.bAddBlockCount(3, 1, 0, false, nullptr);
  EXPECT_EQ(at(3, 1).count, 0u);  // any real count replaces all-ones, 0 too
  list_.bAddBlockCount(3, 1, 4, false, nullptr);
  EXPECT_EQ(at(3, 1).count, 4u);
  EXPECT_TRUE(at(3, 1).is_new);  // the new flag is an OR
}

TEST_F(CoverageListTest, BlocksBeyondTheFileGoToLineOneAndLineZeroIsIgnored) {
  list_.bAddBlockCount(4, 7, 1, false, nullptr);  // line B is still a line
  list_.bAddBlockCount(5, 7, 2, false, nullptr);  // beyond B: (1, 1)
  EXPECT_EQ(at(4, 7).count, 1u);
  EXPECT_EQ(at(1, 1).count, 2u);
  EXPECT_EQ(list_.position(5, 7), nullptr);

  uint32_t* out = reinterpret_cast<uint32_t*>(&out);
  list_.bAddBlockCount(0, 3, 9, false, &out);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(list_.position(0, 3), nullptr);
}

TEST_F(CoverageListTest, OutReportsTheUncoveredCounterOnlyWhenSomethingIsCovered) {
  uint32_t* out = nullptr;
  list_.bAddBlockCount(2, 2, 0, false, &out);
  EXPECT_EQ(out, nullptr);
  list_.bAddBlockCount(2, 2, 4, false, &out);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(*out, 1u);
  *out = 0;  // what -nopartial does
  EXPECT_EQ(at(2, 2).uncovered, 0u);
  EXPECT_EQ(at(2, 2).blocks, 2u);
}

TEST_F(CoverageListTest, NonMergingFormInsertsBeforeTheFirstEqualOrGreaterColumn) {
  list_.set_merge_mode(false);
  uint32_t* out = reinterpret_cast<uint32_t*>(&out);
  list_.bAddBlockCount(2, 5, 1, false, &out);
  EXPECT_EQ(out, nullptr);
  list_.bAddBlockCount(2, 3, 0, false, nullptr);
  list_.bAddBlockCount(2, 5, 2, false, nullptr);
  list_.bAddBlockCount(2, 4, 9, true, nullptr);
  std::optional<LineInfo> info = list_.line_query(2);
  ASSERT_TRUE(info);
  ASSERT_EQ(info->chain.size(), 4u);
  const uint32_t columns[] = {3, 4, 5, 5};
  const uint64_t counts[] = {0, 9, 2, 1};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(info->chain[i].column, columns[i]);
    EXPECT_EQ(info->chain[i].count, counts[i]);
    EXPECT_EQ(info->chain[i].blocks, 1u);
  }
  EXPECT_EQ(info->chain[0].covered, 0u);
  EXPECT_EQ(info->chain[1].covered, 1u);
  EXPECT_TRUE(info->chain[1].is_new);
  EXPECT_EQ(info->max_count, 9u);
  EXPECT_EQ(info->blocks, 4u);
  EXPECT_EQ(info->covered, 3u);
}

TEST_F(CoverageListTest, LineQueryAnswersBelowTheBoundOnly) {
  list_.bAddBlockCount(1, 1, kNeverExecuted, false, nullptr);
  list_.bAddBlockCount(1, 2, 0, false, nullptr);
  std::optional<LineInfo> one = list_.line_query(1);
  ASSERT_TRUE(one);
  EXPECT_EQ(one->max_count, kNeverExecuted);
  EXPECT_EQ(one->covered, 0u);  // neither 0 nor all-ones counts here
  std::optional<LineInfo> empty = list_.line_query(3);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->blocks, 0u);
  EXPECT_TRUE(empty->chain.empty());
  EXPECT_FALSE(list_.line_query(4));  // B
}

TEST_F(CoverageListTest, PositionCoveredLooksAtColumnOneWithARealCount) {
  EXPECT_TRUE(list_.bIsPositionCovered(0));
  EXPECT_TRUE(list_.bIsPositionCovered(5));
  EXPECT_FALSE(list_.bIsPositionCovered(1));  // empty chain
  list_.bAddBlockCount(1, 2, 3, false, nullptr);
  EXPECT_FALSE(list_.bIsPositionCovered(1));  // not column 1
  list_.bAddBlockCount(1, 1, kNeverExecuted, false, nullptr);
  EXPECT_FALSE(list_.bIsPositionCovered(1));
  list_.bAddBlockCount(1, 1, 6, false, nullptr);
  EXPECT_TRUE(list_.bIsPositionCovered(1));
}

TEST_F(CoverageListTest, LastBlockMarksReuseOrAppendTheColumnOneRecord) {
  list_.bAddBlockCount(3, 1, 2, false, nullptr);
  list_.bMarkLastBlock(3);
  EXPECT_TRUE(at(3, 1).last_block);
  EXPECT_EQ(at(3, 1).blocks, 1u);
  EXPECT_EQ(list_.line_query(3)->chain.size(), 1u);

  list_.bMarkLastBlock(2);
  EXPECT_TRUE(at(2, 1).last_block);
  EXPECT_EQ(at(2, 1).blocks, 0u);
  EXPECT_EQ(at(2, 1).count, 0u);
  list_.bMarkLastBlock(40);  // beyond B: line 1
  EXPECT_TRUE(at(1, 1).last_block);
}

TEST_F(CoverageListTest, FileEntriesAreUniqueByNameAndListedByMask) {
  EXPECT_EQ(list_.entries().size(), 1u);
  EXPECT_EQ(list_.entries()[0].flags, static_cast<uint32_t>(kFileReadable));
  list_.bAddFilename(src_, "other");
  EXPECT_EQ(list_.entries().size(), 1u);
  EXPECT_EQ(list_.current_entry()->report_name, "three.c");

  list_.bAddFilename(dir_.file("missing.c"), "missing.c");
  EXPECT_EQ(list_.current_entry()->flags, 0u);
  list_.current_entry()->flags |= kFileCovered;
  list_.bAddFilename(dir_.file("third.c"), "third.c");
  list_.current_entry()->flags |= kFileCovered;
  std::vector<const FileEntry*> covered = list_.uiGetFilenames(kFileCovered);
  ASSERT_EQ(covered.size(), 2u);
  EXPECT_EQ(covered[0]->report_name, "missing.c");
  EXPECT_EQ(covered[1]->report_name, "third.c");
  EXPECT_TRUE(list_.uiGetFilenames(kFileUncovered).empty());
}

TEST(CoverageListErrors, MissingSourceIsAWarningOnStdout) {
  coverage_list list;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(list.bSetName("/nonexistent/x.c", "x.c"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nWarning - File /nonexistent/x.c not found!\n");
  EXPECT_EQ(list.current_node(), nullptr);
}

TEST(CoverageListErrors, OperationsWithoutATableEndTheRun) {
  coverage_list list;
  testing::internal::CaptureStderr();
  EXPECT_THROW(list.bAddBlockCount(1, 1, 1, false, nullptr), FatalExit);
  EXPECT_THROW(list.bIsPositionCovered(1), FatalExit);
  EXPECT_THROW(list.bMarkLastBlock(1), FatalExit);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR: bAddBlockCount is not properly initialized!\n"
            "ERROR: bIsPositionCovered is not properly initialized!\n"
            "ERROR: bMarkLastBlock is not properly initialized!\n");
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
