// CODE_COVERAGE.TXT from hand-made totals and file entries: the ordering and
// widening cases the end-to-end summaries do not show. Value lines are
// "          %8s %8s %8s  %6.2f"; rows pad the stored name to W - 1 (W =
// longest stored name + 5) before the " %8s" columns.
#include "report/summary_table.h"

#include <gtest/gtest.h>

#include "coverage/coverage_list.h"
#include "coverage/totals.h"
#include "html_page_fixture.h"

namespace vorel {
namespace {

FileEntry entry(const std::string& name, uint32_t fn, uint32_t fn_cvrd, uint32_t blocks,
                uint32_t blocks_cvrd, uint32_t lines, uint32_t lines_cvrd) {
  FileEntry e;
  e.name = name;
  e.functions = fn, e.covered_functions = fn_cvrd, e.function_percent = percent_of(fn_cvrd, fn);
  e.blocks = blocks, e.covered_blocks = blocks_cvrd, e.block_percent = percent_of(blocks_cvrd, blocks);
  e.lines = lines, e.covered_lines = lines_cvrd, e.line_percent = percent_of(lines_cvrd, lines);
  return e;
}

class SummaryTableTest : public PageTest {
 protected:
  std::string write(const RunTotals& totals, const std::vector<const FileEntry*>& covered,
                    const std::vector<const FileEntry*>& uncovered) {
    write_summary_table("Code_Coverage", "txt", totals, covered, uncovered, options_);
    return page("CODE_COVERAGE.TXT");
  }
};

// A grouped number wider than 8 widens its column. Covered rows are ordered
// by display name (a.c before b.c, although /src/alpha/ sorts before
// /src/zeta/), W = 14 + 5; uncovered rows W = 12 + 5.
TEST_F(SummaryTableTest, WideNumbersAndRowOrder) {
  RunTotals t;
  t.lines = 1234567, t.covered_lines = 1000;
  FileEntry a = entry("/src/zeta/a.c", 3, 2, 800, 1, 1234, 1000);
  FileEntry b = entry("/src/alpha/b.c", 1, 1, 4, 4, 10, 10);
  FileEntry c = entry("/src/c.c", 2, 0, 12, 0, 1234567, 0);
  FileEntry d = entry("/src/sub/d.h", 0, 0, 0, 0, 0, 0);
  const std::string text = write(t, {&b, &a}, {&d, &c});
  for (const char* part :
       {"\nLines:       total     cvrd   uncvrd   cvrg%\n             -----     ----   ------  ------\n"
        "          1,234,567    1,000 1,233,567    0.08\n\n",
        "               -------- --------   -----     -------- --------   -----     -------- --------   -----\n"
        "/src/zeta/a.c             3        2   66.67          800        1    0.13        1,234    1,000   81.04\n"
        "/src/alpha/b.c            1        1  100.00            4        4  100.00           10       10  100.00\n",
        "                 --------     --------      -------\n"
        "/src/c.c                2           12     1,234,567\n"
        "/src/sub/d.h            0            0            0\n"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

// With -showdirnames and a user-given root the rows sort by the path below
// the root: "alpha/b.c" before "zeta/a.c", stored names still shown whole.
TEST_F(SummaryTableTest, ShowDirNamesOrdersByPathBelowTheRoot) {
  options_.show_dir_names = true;
  options_.user_source_root = "/src/";
  FileEntry a = entry("/src/zeta/a.c", 1, 1, 1, 1, 1, 1);
  FileEntry b = entry("/src/alpha/b.c", 1, 1, 1, 1, 1, 1);
  std::string text = write(RunTotals{}, {&a, &b}, {});
  EXPECT_LT(text.find("/src/alpha/b.c"), text.find("/src/zeta/a.c"));
}

}  // namespace
}  // namespace vorel
