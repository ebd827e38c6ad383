// The root frame set, totals summary and help page: what the hand-checked
// pages of tests/e2e/html_report_test.cpp do not show.
#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/totals.h"
#include "html_page_fixture.h"
#include "report/html_root.h"
#include "report/html_toolbar.h"

namespace vorel {
namespace {

using test_support::capture;

class FramesTest : public PageTest {
 protected:
  bool root(const RunTotals& t = {}, const char* covered = nullptr, const char* uncovered = nullptr) {
    return write_root_frame_set(ctx(), t, "Code_Coverage", "__Code_Coverage", covered, uncovered);
  }
};

// The frame split follows the lists there are: summary alone, one list, or
// both (63% / 37%, 50% / 50% with -ref).
TEST_F(FramesTest, RootFrameSetInEveryListCombination) {
  const std::string head =
      "<html>\n<head>\n<title>Vorel&#174; Compilers code-coverage information</title>\n</head>\n";
  const std::string summary = "<frame src=\"CodeCoverage/__CODE_COVERAGE.HTML\" scrolling=\"yes\">\n";
  const std::string cov = "<frame src=\"CodeCoverage/__COVERED_FILES_COVERAGE_4.HTML\" scrolling=\"yes\">\n";
  const std::string unc = "<frame src=\"CodeCoverage/__UNCOVERED_FILES_COVERAGE_4.HTML\" scrolling=\"yes\">\n";
  const std::string inner_end = "<noframes> Your browser does not have frames support</noframes>\n</frameset>\n";
  const std::string end = "<noframes> Your browser doesn't have frames support</noframes>\n</frameset>\n</html>\n";
  const std::string rows30 = head + "<frameset rows=\"30%, *\">\n" + summary;
  const char* c = "__Covered_Files_Coverage";
  const char* u = "__Uncovered_Files_Coverage";
  const struct {
    const char *covered, *uncovered;
    bool differential;
    std::string page;
  } cases[] = {
      {nullptr, nullptr, false, head + "<frameset rows=\"100%, *\">\n" + summary + end},
      {c, nullptr, false, rows30 + cov + end},
      {nullptr, u, false, rows30 + "<frameset cols=\"100%, *\">\n" + unc + inner_end + end},
      {c, u, false, rows30 + "<frameset cols=\"63%, *\">\n" + cov + unc + inner_end + end},
      {c, u, true, rows30 + "<frameset cols=\"50%, *\">\n" + cov + unc + inner_end + end},
  };
  for (const auto& k : cases) {
    settings_.differential = k.differential;
    ASSERT_TRUE(root({}, k.covered, k.uncovered));
    EXPECT_EQ(page("CODE_COVERAGE.HTML"), k.page);
  }
}

// With -ref the summary counts what is missed and "similar"; wide counts are
// grouped; 1 of 800 is 0.125%, rounded half up.
TEST_F(FramesTest, SummaryLabelsAndGroupedCountsWithRef) {
  settings_.differential = true;
  RunTotals t;
  t.files = 3, t.covered_files = 1;
  t.functions = 1234567, t.covered_functions = 2;
  t.blocks = 800, t.covered_blocks = 1;
  ASSERT_TRUE(root(t));
  const std::string s = page("CodeCoverage/__CODE_COVERAGE.HTML");
  for (const char* text :
       {"<TH ALIGN=\"center\">total</TH>\n<TH ALIGN=\"center\">missed</TH>\n"
        "<TH ALIGN=\"center\">similar</TH>\n<TH ALIGN=\"center\">miss%</TH>\n",
        "<TD ALIGN=\"center\">1,234,567</TD>\n<TD ALIGN=\"center\">2</TD>\n"
        "<TD ALIGN=\"center\">1,234,565</TD>\n<TD ALIGN=\"center\" STYLE=\"font-weight:bold\">  0.00</TD>\n",
        "<TD ALIGN=\"center\">800</TD>\n<TD ALIGN=\"center\">1</TD>\n<TD ALIGN=\"center\">799</TD>\n"
        "<TD ALIGN=\"center\" STYLE=\"font-weight:bold\">  0.13</TD>\n"})
    EXPECT_NE(s.find(text), std::string::npos) << text;
}

TEST_F(FramesTest, HelpShowsTheRunsColoursAndInfeasibleRowOnlyWithMarkers) {
  settings_.colors[kColorCovered] = "lime";
  ASSERT_TRUE(write_toolbar_and_help(ctx()));
  std::string help = page("CodeCoverage/__HELP.HTML");
  EXPECT_NE(help.find("<TD BGCOLOR=\"lime\">Covered code</TD>\n<TD BGCOLOR=\"#FFFFFF\">"),
            std::string::npos);
  EXPECT_NE(help.find("<TD BGCOLOR=\"#ffff99\">Uncovered basic block</TD>"), std::string::npos);
  EXPECT_EQ(help.find("Infeasible code"), std::string::npos);
  EXPECT_NE(help.find("<title>\nVorel(R) Code-Coverage Tool on-line help\n</title>\n"),
            std::string::npos);
  settings_.markers_in_use = 1;
  ASSERT_TRUE(write_toolbar_and_help(ctx()));
  help = page("CodeCoverage/__HELP.HTML");
  EXPECT_NE(help.find("<TD BGCOLOR=\"#90ee90\">Infeasible code</TD>"), std::string::npos);
}

// Each page and image fails with its own message and stops what follows.
TEST_F(FramesTest, FailureMessages) {
  const std::pair<const char*, const char*> cases[] = {
      {"CodeCoverage/__TOOLBAR.HTML", "Unable to create ToolBar file!\n"},
      {"CodeCoverage/__Home.gif", "Unable to create the Home Icon CodeCoverage/__Home.gif!\n"},
      {"CodeCoverage/__Help.gif", "Unable to create the Home Icon CodeCoverage/__Help.gif!\n"},
      {"CodeCoverage/__VorelR.gif", "Unable to create Vorel Logo CodeCoverage/__VorelR.gif!\n"},
      {"CodeCoverage/__Spacer.gif", "Unable to create Spacer image CodeCoverage/__Spacer.gif!\n"},
      {"CodeCoverage/__HELP.HTML", "Unable to create On-Line Help!\n"},
      {"CodeCoverage/__CODE_COVERAGE.HTML", "Unable to create root html file __Code_Coverage!\n"},
      {"CODE_COVERAGE.HTML", "Unable to create root html file Code_Coverage!\n"},
  };
  for (const auto& [blocked, message] : cases) {
    std::filesystem::remove_all(dir_.file("CodeCoverage"));
    std::filesystem::remove_all(dir_.file("CODE_COVERAGE.HTML"));
    std::filesystem::create_directory(dir_.file("CodeCoverage"));
    block(blocked);
    auto c = capture([&] { EXPECT_FALSE(write_toolbar_and_help(ctx()) && root()) << blocked; });
    EXPECT_EQ(c.err, message);
    if (std::string(blocked) != "CODE_COVERAGE.HTML") {
      EXPECT_FALSE(e2e::file_exists(dir_.file("CODE_COVERAGE.HTML"))) << blocked;
    }
  }
}

}  // namespace
}  // namespace vorel
