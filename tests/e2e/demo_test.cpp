// The bundled example (examples/demo) as examples/demo/run.sh runs it, from
// a directory in which "demo" links to the example, so that stored names are
// the short relative "demo/src/...". The expected figures follow from the
// block table of examples/demo/gen/make_demo_profiles.cpp (two runs, six
// scores). Per file (functions / blocks / lines, total and covered):
// grade.c 4/4, 30/30, 24/24; main.c 2/1 (usage never runs), 11/8 (usage,
// the check's failure path, die), 21/17 (lines 21, 22, 34, 35); report.c
// 3/3, 13/13, 10/10; stats.c 6/5 (score_range), 36/32 (high = ..., n =
// MAX_STUDENTS, the odd-count return, score_range), 26/23 (lines 20, 52,
// 61); util.c counts clamp, safe_div and die (dump_scores starts in the
// infeasible region): 3/2, 8/5 (safe_div's block on its infeasible line 19
// is not counted), 9/5 (line 19 not counted; 10, 12, 25, 26 never ran).
// selftest.c is excluded by the component file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/harness.h"

namespace e2e {
namespace {

TEST(Demo, RunsCleanlyAndMatchesItsDescription) {
  TempDir dir;
  ASSERT_TRUE(place_demo(dir.file("demo")));
  RunResult r = run_vorelcov({"-spi", "demo/demo.spi", "-dpi", "demo/demo.dpi", "-srcroot", "demo",
                              "-comp", "demo/demo.comp", "-txtlcov", "-blockcounts", "-nopmeter"},
                             dir.path(), kHostsOwnRules);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kScanDone);
  std::string expected = expected_file("demo/CODE_COVERAGE.TXT");
  for (const char* name : {"grade", "main", "report", "stats", "util"}) {
    const std::string shown = std::string("demo/src/") + name + ".c";
    expected.replace(expected.find(shown), shown.size(), host_name(shown));
  }
  EXPECT_EQ(dir.text("CODE_COVERAGE.TXT"), expected);
  EXPECT_EQ(list_dir(dir.file("CodeCoverage")),
            (std::vector<std::string>{"DEMO_SRC_GRADE_C.LCOV", "DEMO_SRC_MAIN_C.LCOV",
                                      "DEMO_SRC_REPORT_C.LCOV", "DEMO_SRC_STATS_C.LCOV",
                                      "DEMO_SRC_UTIL_C.LCOV"}));
}

}  // namespace
}  // namespace e2e
