// CODE_COVERAGE.TXT from hand-made totals and file entries. The expected
// texts are laid out by hand: value lines are "          %8s %8s %8s  %6.2f",
// rows pad the stored name to W - 1 (W = longest stored name + 5) before the
// " %8s" columns, percentages rounded half up to hundredths.
#include "report/summary_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "coverage/coverage_list.h"
#include "coverage/totals.h"
#include "driver/settings.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

std::string sp(int n) { return std::string(n, ' '); }
const std::string kRule = "\n\n" + std::string(116, '-') + "\n\n";

FileEntry entry(const std::string& name, uint32_t fn, uint32_t fn_cvrd, uint32_t blocks,
                uint32_t blocks_cvrd, uint32_t lines, uint32_t lines_cvrd) {
  FileEntry e;
  e.name = name;
  e.functions = fn;
  e.covered_functions = fn_cvrd;
  e.blocks = blocks;
  e.covered_blocks = blocks_cvrd;
  e.lines = lines;
  e.covered_lines = lines_cvrd;
  e.function_percent = percent_of(fn_cvrd, fn);
  e.block_percent = percent_of(blocks_cvrd, blocks);
  e.line_percent = percent_of(lines_cvrd, lines);
  return e;
}

class SummaryTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(getcwd(old_cwd_, sizeof old_cwd_));
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(old_cwd_), 0); }

  std::string write(const RunTotals& totals, const std::vector<const FileEntry*>& covered,
                    const std::vector<const FileEntry*>& uncovered) {
    write_summary_table("Code_Coverage", "txt", totals, covered, uncovered, settings_);
    return e2e::read_file("CODE_COVERAGE.TXT").value_or("<missing>");
  }

  e2e::TempDir dir_;
  char old_cwd_[4096];
  Settings settings_;
};

const char* const kZeroTotals =
    "                    Coverage Summary\n"
    "                    ----------------\n\n"
    "Files:       total     cvrd   uncvrd   cvrg%\n"
    "             -----     ----   ------  ------\n"
    "                 0        0        0    0.00\n\n"
    "\nFunctions:   total     cvrd   uncvrd   cvrg%\n"
    "             -----     ----   ------  ------\n"
    "                 0        0        0    0.00\n\n"
    "\nBlocks:      total     cvrd   uncvrd   cvrg%\n"
    "             -----     ----   ------  ------\n"
    "                 0        0        0    0.00\n\n"
    "\nLines:       total     cvrd   uncvrd   cvrg%\n"
    "             -----     ----   ------  ------\n"
    "                 0        0        0    0.00\n\n";

TEST_F(SummaryTableTest, NoFilesGivesTheTotalsAlone) {
  EXPECT_EQ(write(RunTotals{}, {}, {}), kZeroTotals);
}

// Totals: 2 of 3 functions is 66.67, 1 of 800 blocks 0.13 (0.125 rounds up),
// 1,000 of 1,234,567 lines 0.08; a grouped number wider than 8 widens its
// column. Files: covered rows ordered by display name (a.c before b.c,
// although /src/alpha/ sorts before /src/zeta/), W = 14 + 5 = 19; uncovered
// rows W = 12 + 5 = 17.
TEST_F(SummaryTableTest, TotalsAndBothTables) {
  RunTotals t;
  t.files = 4, t.covered_files = 2;
  t.functions = 3, t.covered_functions = 2;
  t.blocks = 800, t.covered_blocks = 1;
  t.lines = 1234567, t.covered_lines = 1000;
  FileEntry a = entry("/src/zeta/a.c", 3, 2, 800, 1, 1234, 1000);
  FileEntry b = entry("/src/alpha/b.c", 1, 1, 4, 4, 10, 10);
  FileEntry c = entry("/src/c.c", 2, 0, 12, 0, 1234567, 0);
  FileEntry d = entry("/src/sub/d.h", 0, 0, 0, 0, 0, 0);
  const std::string expected =
      "                    Coverage Summary\n"
      "                    ----------------\n\n"
      "Files:       total     cvrd   uncvrd   cvrg%\n"
      "             -----     ----   ------  ------\n"
      "                 4        2        2   50.00\n\n"
      "\nFunctions:   total     cvrd   uncvrd   cvrg%\n"
      "             -----     ----   ------  ------\n"
      "                 3        2        1   66.67\n\n"
      "\nBlocks:      total     cvrd   uncvrd   cvrg%\n"
      "             -----     ----   ------  ------\n"
      "               800        1      799    0.13\n\n"
      "\nLines:       total     cvrd   uncvrd   cvrg%\n"
      "             -----     ----   ------  ------\n"
      "          1,234,567    1,000 1,233,567    0.08\n\n" +
      kRule +
      "                          Covered Files\n"
      "                          -------------\n\n"
      "Name " + sp(22) + "Functions                       Blocks                        Lines\n"
      "---- " + sp(22) + "---------                       ------                        -----\n" +
      sp(19) + "  total    cvrd     cvrg%       total    cvrd     cvrg%       total    cvrd     cvrg%\n" +
      sp(19) + "-------- --------   -----     -------- --------   -----     -------- --------   -----\n"
      "/src/zeta/a.c             3        2   66.67          800        1    0.13        1,234    1,000   81.04\n"
      "/src/alpha/b.c            1        1  100.00            4        4  100.00           10       10  100.00\n" +
      kRule +
      "                          Uncovered Files\n"
      "                          ---------------\n\n"
      "Name " + sp(11) + "Functions      Blocks        Lines\n"
      "---- " + sp(11) + "---------      ------        -----\n" +
      sp(17) + "  total        total        total\n" +
      sp(17) + "--------     --------      -------\n"
      "/src/c.c                2           12     1,234,567\n"
      "/src/sub/d.h            0            0            0\n";
  EXPECT_EQ(write(t, {&b, &a}, {&d, &c}), expected);
}

// With -showdirnames and a user-given root the rows sort by the path below
// the root: "alpha/b.c" before "zeta/a.c", stored names still shown whole.
TEST_F(SummaryTableTest, ShowDirNamesOrdersByPathBelowTheRoot) {
  settings_.show_dir_names = true;
  settings_.src_root_dir = "/src/";
  settings_.src_root_from_user = true;
  FileEntry a = entry("/src/zeta/a.c", 1, 1, 1, 1, 1, 1);
  FileEntry b = entry("/src/alpha/b.c", 1, 1, 1, 1, 1, 1);
  std::string text = write(RunTotals{}, {&a, &b}, {});
  ASSERT_NE(text.find("/src/alpha/b.c"), std::string::npos);
  EXPECT_LT(text.find("/src/alpha/b.c"), text.find("/src/zeta/a.c"));
  EXPECT_EQ(text.find("Uncovered Files"), std::string::npos);
}

TEST_F(SummaryTableTest, FileThatCannotBeCreatedIsReportedOnly) {
  ASSERT_EQ(mkdir("CODE_COVERAGE.TXT", 0777), 0);
  testing::internal::CaptureStderr();
  write_summary_table("Code_Coverage", "txt", RunTotals{}, {}, {}, settings_);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Unable to create summary file, Code_Coverage!\n");
}

}  // namespace
}  // namespace vorel
