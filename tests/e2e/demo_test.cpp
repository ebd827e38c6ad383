// The bundled example (examples/demo) as examples/demo/run.sh runs it. The
// expected figures follow from the block table of
// examples/demo/gen/make_demo_profiles.cpp (two runs, six scores).
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/harness.h"

namespace e2e {
namespace {

// Runs the demo from a fresh directory in which "demo" links to the
// example, so that stored names are the short relative "demo/src/...".
struct DemoRun {
  TempDir dir;
  RunResult result;

  DemoRun() {
    const std::string demo = source_dir() + "/examples/demo";
    EXPECT_EQ(symlink(demo.c_str(), dir.file("demo").c_str()), 0);
    result = run_vorelcov({"-spi", "demo/demo.spi", "-dpi", "demo/demo.dpi", "-srcroot", "demo",
                           "-comp", "demo/demo.comp", "-txtlcov", "-blockcounts", "-nopmeter"},
                          dir.path());
  }
  std::string lcov(const std::string& name) const {
    return read_file(dir.file("CodeCoverage/" + name)).value_or("<missing " + name + ">");
  }
};

// Per file (functions / blocks / lines, total and covered):
// grade.c 4/4, 30/30, 24/24; main.c 2/1 (usage never runs), 11/8 (usage,
// the check's failure path, die), 21/17 (lines 21, 22, 34, 35); report.c
// 3/3, 13/13, 10/10; stats.c 6/5 (score_range), 36/32 (high = ..., n =
// MAX_STUDENTS, the odd-count return, score_range), 26/23 (lines 20, 52,
// 61); util.c counts clamp, safe_div and die (dump_scores starts in the
// infeasible region): 3/2, 8/5 (safe_div's block on its infeasible line 19
// is not counted), 9/5 (line 19 not counted; 10, 12, 25, 26 never ran).
// selftest.c is excluded by the component file.
TEST(Demo, RunsCleanlyAndMatchesItsDescription) {
  DemoRun run;
  EXPECT_EQ(run.result.status, 0);
  EXPECT_EQ(run.result.err, kScanDone);
  EXPECT_EQ(read_file(run.dir.file("CODE_COVERAGE.TXT")).value_or("<missing>"),
            expected_file("demo/CODE_COVERAGE.TXT"));
  EXPECT_EQ(list_dir(run.dir.file("CodeCoverage")),
            (std::vector<std::string>{"DEMO_SRC_GRADE_C.LCOV", "DEMO_SRC_MAIN_C.LCOV",
                                      "DEMO_SRC_REPORT_C.LCOV", "DEMO_SRC_STATS_C.LCOV",
                                      "DEMO_SRC_UTIL_C.LCOV"}));
}

// stats.c line 20 never ran. Line 40 holds four blocks of sort_scores,
// listed last block first: j-- 20, the comparison 24, j >= 0 30, and the
// block of line 39 that continues onto line 40 (10). Line 56: the
// condition and the else branch ran twice, the then branch never.
TEST(Demo, StatsLines) {
  DemoRun run;
  const std::string stats = run.lcov("DEMO_SRC_STATS_C.LCOV");
  EXPECT_NE(stats.find("           #####:     20:            high = s[i].score;\n"),
            std::string::npos);
  EXPECT_NE(stats.find("              30:     40:        for (j = i - 1; j >= 0 && scores[j] > key; j--)\n"
                       "               -:     40-4 of 4 blocks covered\n"
                       "              20:     40-BLOCK 0\n"
                       "              24:     40-BLOCK 1\n"
                       "              30:     40-BLOCK 2\n"
                       "              10:     40-BLOCK 3\n"),
            std::string::npos);
  EXPECT_NE(stats.find("               2:     56:    if (n % 2) return scores[n / 2]; else return "
                       "(scores[n / 2 - 1] + scores[n / 2]) / 2;\n"
                       "               -:     56-2 of 3 blocks covered\n"
                       "               2:     56-BLOCK 0\n"
                       "           $$$$$:     56-BLOCK 1\n"
                       "               2:     56-BLOCK 2\n"),
            std::string::npos);
  EXPECT_EQ(stats.rfind("               -:     62:}\n"), stats.size() - 27);
}

}  // namespace
}  // namespace e2e
