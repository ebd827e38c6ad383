// The line-coverage text over a hand-filled position table: the cases the
// hand-checked tests/e2e/expected/line_coverage/SRC_PROG_C.LCOV does not
// show. Tables use the non-merging form of the -txtlcov pass, so blocks
// added at one column appear in reverse order of addition.
#include "report/line_coverage.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/coverage_list.h"
#include "coverage/position_state.h"
#include "html_page_fixture.h"

namespace vorel {
namespace {

class LineCoverageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    files_.set_merge_mode(false);
  }
  void source(const std::string& bytes) {
    e2e::write_file("src.c", bytes);
    ASSERT_TRUE(files_.set_name("src.c", "demo/src.c"));
  }
  void block(uint32_t line, uint32_t column, uint64_t count) {
    files_.add_block_count(line, column, count, false, nullptr);
  }
  std::string write(bool block_counts) {
    EXPECT_TRUE(write_line_coverage(files_, block_counts, options_));
    return page("CodeCoverage/DEMO_SRC_C.LCOV");
  }
  CoverageList files_;
};

// Line 1: a count wider than the column widens the line. Line 2: the
// never-executed mark of a routine that did not run beside code that ran 7
// times: the line shows 7, the mark "$$$$$". Line 3 has no line feed: its
// detail lines start on lines of their own. Line 4 is unknown to the table
// (the file grew after it was counted): "?????".
TEST_F(LineCoverageTest, WideCountsMarksAndLinesBeyondTheTable) {
  source("a\nb\nc");
  block(1, 1, kNeverExecuted - 1);
  block(2, 1, kNeverExecuted);
  block(2, 3, 7);
  block(3, 1, 2);
  block(3, 1, 3);
  e2e::write_file("src.c", "a\nb\nc\nw\n");
  EXPECT_EQ(write(true), e2e::read_file(e2e::source_dir() + "/tests/unit/expected/line_coverage_wide.lcov"));
}

}  // namespace
}  // namespace vorel
