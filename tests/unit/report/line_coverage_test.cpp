// The line-coverage text over a hand-filled position table. Tables are built
// with the non-merging form of the -txtlcov pass: each block is its own
// record, put in front of the first record at the same or a later column, so
// blocks added at one column appear in reverse order of addition.
#include "report/line_coverage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "coverage/coverage_list.h"
#include "coverage/position_state.h"
#include "driver/settings.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

// Runs the writer in a fresh directory that holds the source "src.c" and
// the report directory.
class LineCoverageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(getcwd(old_cwd_, sizeof old_cwd_));
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    ASSERT_EQ(mkdir("CodeCoverage", 0777), 0);
    files_.set_merge_mode(false);
  }
  void TearDown() override { ASSERT_EQ(chdir(old_cwd_), 0); }

  // Writes the source and makes its position table current.
  void source(const std::string& bytes) {
    e2e::write_file("src.c", bytes);
    ASSERT_TRUE(files_.bSetName("src.c", "demo/src.c"));
  }
  void block(uint32_t line, uint32_t column, uint64_t count) {
    files_.bAddBlockCount(line, column, count, false, nullptr);
  }
  std::string write(bool block_counts) {
    EXPECT_TRUE(write_line_coverage(files_, block_counts, settings_));
    return e2e::read_file("CodeCoverage/DEMO_SRC_C.LCOV").value_or("<missing>");
  }

  e2e::TempDir dir_;
  char old_cwd_[4096];
  coverage_list files_;
  Settings settings_;
};

// Header, a grouped count in 16 columns, "#####", "-", and "?????" for a
// line that the table does not know (the file grew after it was counted).
// The byte-order mark is not copied; a CR stays a CR.
TEST_F(LineCoverageTest, EveryPrefixKind) {
  source("\xEF\xBB\xBFint a;\nx\r\ny\nz\n");  // 4 lines: bound 5
  block(1, 1, 1234567);
  block(2, 1, 0);
  block(2, 4, kNeverExecuted);
  e2e::write_file("src.c", "\xEF\xBB\xBFint a;\nx\r\ny\nz\nw\n");
  const std::string expected =
      "               -: src.c\n"
      "       1,234,567:      1:int a;\n"
      "           #####:      2:x\r\n"
      "               -:      3:y\n"
      "               -:      4:z\n"
      "           ?????:      5:w\n";
  EXPECT_EQ(write(false), expected);
  // Only line 2 has more than one block; it ran nowhere, so no block lines.
  std::string with_counts = expected;
  with_counts.insert(with_counts.find("               -:      3:"),
                     "               -:      2-0 of 2 blocks covered\n");
  EXPECT_EQ(write(true), with_counts);
}

TEST_F(LineCoverageTest, EmptySourceGivesOnlyTheHeader) {
  source("");
  EXPECT_EQ(write(true), "               -: src.c\n");
}

// Line 1: blocks of 5 and 0 (chain: 0, 5). Line 2: two blocks of 0, so no
// per-block lines. Line 3: the never-executed mark of a routine that did not
// run (column 1) beside code that ran 7 times (column 3): the line shows 7,
// the mark counts as not covered. Line 4 has no line feed: its detail lines
// still start on a line of their own.
TEST_F(LineCoverageTest, BlockCounts) {
  source("a\nb\nc\nd");
  block(1, 1, 5);
  block(1, 1, 0);
  block(2, 1, 0);
  block(2, 1, 0);
  block(3, 1, kNeverExecuted);
  block(3, 3, 7);
  block(4, 1, 2);
  block(4, 1, 3);
  EXPECT_EQ(write(true),
            "               -: src.c\n"
            "               5:      1:a\n"
            "               -:      1-1 of 2 blocks covered\n"
            "           $$$$$:      1-BLOCK 0\n"
            "               5:      1-BLOCK 1\n"
            "           #####:      2:b\n"
            "               -:      2-0 of 2 blocks covered\n"
            "               7:      3:c\n"
            "               -:      3-1 of 2 blocks covered\n"
            "           $$$$$:      3-BLOCK 0\n"
            "               7:      3-BLOCK 1\n"
            "               3:      4:d\n"
            "               -:      4-2 of 2 blocks covered\n"
            "               3:      4-BLOCK 0\n"
            "               2:      4-BLOCK 1\n");
  EXPECT_EQ(write(false),
            "               -: src.c\n"
            "               5:      1:a\n"
            "           #####:      2:b\n"
            "               7:      3:c\n"
            "               3:      4:d");
}

TEST_F(LineCoverageTest, ACountWiderThanTheColumnWidensTheLine) {
  source("a\n");
  block(1, 1, kNeverExecuted - 1);
  EXPECT_EQ(write(false),
            "               -: src.c\n"
            "18,446,744,073,709,551,614:      1:a\n");
}

TEST_F(LineCoverageTest, SourceThatCannotBeOpened) {
  source("a\n");
  ASSERT_EQ(unlink("src.c"), 0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_line_coverage(files_, false, settings_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error - Cannot open src.c!\n");
  EXPECT_FALSE(e2e::file_exists("CodeCoverage/DEMO_SRC_C.LCOV"));
}

TEST_F(LineCoverageTest, OutputThatCannotBeCreated) {
  source("a\n");
  ASSERT_EQ(rmdir("CodeCoverage"), 0);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_line_coverage(files_, false, settings_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Cannot open CodeCoverage/DEMO_SRC_C.LCOV for output!\n");
}

}  // namespace
}  // namespace vorel
