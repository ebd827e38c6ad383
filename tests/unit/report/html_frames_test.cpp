// The root frame set, totals summary and help page: what the hand-checked
// pages of tests/e2e/html_report_test.cpp do not show.
#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/position_state.h"
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

// The frame split follows the lists there are: summary alone or one list
// (both lists are pinned by the end-to-end pages).
TEST_F(FramesTest, RootFrameSetWithoutBothLists) {
  const std::string head =
      "<html>\n<head>\n<title>Vorel&#174; Compilers code-coverage information</title>\n</head>\n";
  const std::string summary = "<frame src=\"CodeCoverage/__CODE_COVERAGE.HTML\" scrolling=\"yes\">\n";
  const std::string end = "<noframes> Your browser doesn't have frames support</noframes>\n</frameset>\n</html>\n";
  const std::string rows30 = head + "<frameset rows=\"30%, *\">\n" + summary;
  ASSERT_TRUE(root({}, nullptr, nullptr));
  EXPECT_EQ(page("CODE_COVERAGE.HTML"), head + "<frameset rows=\"100%, *\">\n" + summary + end);
  ASSERT_TRUE(root({}, "__Covered_Files_Coverage", nullptr));
  EXPECT_EQ(page("CODE_COVERAGE.HTML"),
            rows30 + "<frame src=\"CodeCoverage/__COVERED_FILES_COVERAGE_4.HTML\" scrolling=\"yes\">\n" + end);
  ASSERT_TRUE(root({}, nullptr, "__Uncovered_Files_Coverage"));
  EXPECT_EQ(page("CODE_COVERAGE.HTML"),
            rows30 + "<frameset cols=\"100%, *\">\n"
                     "<frame src=\"CodeCoverage/__UNCOVERED_FILES_COVERAGE_4.HTML\" scrolling=\"yes\">\n"
                     "<noframes> Your browser does not have frames support</noframes>\n</frameset>\n" + end);
}

// With -ref the summary counts what is missed and "similar"; wide counts are
// grouped; 1 of 800 is 0.125%, rounded half up.
TEST_F(FramesTest, SummaryLabelsAndGroupedCountsWithRef) {
  options_.differential = true;
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
  options_.colors[kColorCovered] = "lime";
  for (int markers : {0, 1}) {
    options_.markers_in_use = markers;
    ASSERT_TRUE(write_toolbar_and_help(ctx()));
    const std::string help = page("CodeCoverage/__HELP.HTML");
    for (const char* text : {"<title>\nVorel(R) Code-Coverage Tool on-line help\n</title>\n",
                             "<TD BGCOLOR=\"lime\">Covered code</TD>\n<TD BGCOLOR=\"#FFFFFF\">",
                             "<TD BGCOLOR=\"#ffff99\">Uncovered basic block</TD>"})
      EXPECT_NE(help.find(text), std::string::npos) << text;
    EXPECT_EQ(help.find("<TD BGCOLOR=\"#90ee90\">Infeasible code</TD>") != std::string::npos, markers == 1);
  }
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
    for (const char* p : {"CodeCoverage", "CODE_COVERAGE.HTML"}) std::filesystem::remove_all(dir_.file(p));
    std::filesystem::create_directory(dir_.file("CodeCoverage"));
    block(blocked);
    auto c = capture([&] { EXPECT_FALSE(write_toolbar_and_help(ctx()) && root()) << blocked; });
    EXPECT_EQ(c.err, message);
    EXPECT_EQ(std::filesystem::is_regular_file(dir_.file("CODE_COVERAGE.HTML")), false) << blocked;
    output_abandon();  // as the run does after a failure
  }
}

}  // namespace
}  // namespace vorel
