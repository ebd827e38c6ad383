#include <gtest/gtest.h>

#include "coverage/totals.h"
#include "html_page_fixture.h"
#include "report/html_root.h"
#include "report/html_toolbar.h"

namespace vorel {
namespace {

class FramesTest : public PageTest {
 protected:
  std::string root(const char* covered, const char* uncovered) {
    EXPECT_TRUE(write_root_frame_set(ctx(), RunTotals{}, "Code_Coverage", "__Code_Coverage",
                                     covered, uncovered));
    return page("CODE_COVERAGE.HTML");
  }
};

const char kHead[] =
    "<html>\n<head>\n<title>Vorel&#174; Compilers code-coverage information</title>\n</head>\n";
const char kSummaryFrame[] = "<frame src=\"CodeCoverage/__CODE_COVERAGE.HTML\" scrolling=\"yes\">\n";
const char kCoveredFrame[] =
    "<frame src=\"CodeCoverage/__COVERED_FILES_COVERAGE_4.HTML\" scrolling=\"yes\">\n";
const char kUncoveredFrame[] =
    "<frame src=\"CodeCoverage/__UNCOVERED_FILES_COVERAGE_4.HTML\" scrolling=\"yes\">\n";
const char kInnerEnd[] =
    "<noframes> Your browser does not have frames support</noframes>\n</frameset>\n";
const char kOuterEnd[] =
    "<noframes> Your browser doesn't have frames support</noframes>\n</frameset>\n</html>\n";

TEST_F(FramesTest, RootFrameSetInEveryListCombination) {
  const char* cov = "__Covered_Files_Coverage";
  const char* unc = "__Uncovered_Files_Coverage";
  const std::string rows30 = std::string(kHead) + "<frameset rows=\"30%, *\">\n" + kSummaryFrame;
  EXPECT_EQ(root(nullptr, nullptr),
            std::string(kHead) + "<frameset rows=\"100%, *\">\n" + kSummaryFrame + kOuterEnd);
  EXPECT_EQ(root(cov, nullptr), rows30 + kCoveredFrame + kOuterEnd);
  EXPECT_EQ(root(nullptr, unc),
            rows30 + "<frameset cols=\"100%, *\">\n" + kUncoveredFrame + kInnerEnd + kOuterEnd);
  EXPECT_EQ(root(cov, unc), rows30 + "<frameset cols=\"63%, *\">\n" + kCoveredFrame +
                                       kUncoveredFrame + kInnerEnd + kOuterEnd);
  settings_.differential = true;
  EXPECT_EQ(root(cov, unc), rows30 + "<frameset cols=\"50%, *\">\n" + kCoveredFrame +
                                       kUncoveredFrame + kInnerEnd + kOuterEnd);
}

TEST_F(FramesTest, SummaryLabelsAndGroupedCountsWithRef) {
  settings_.differential = true;
  RunTotals t;
  t.files = 3;
  t.covered_files = 1;
  t.functions = 1234567;
  t.covered_functions = 2;
  t.blocks = 800;
  t.covered_blocks = 1;
  ASSERT_TRUE(write_root_frame_set(ctx(), t, "Code_Coverage", "__Code_Coverage", nullptr, nullptr));
  const std::string s = page("CodeCoverage/__CODE_COVERAGE.HTML");
  EXPECT_NE(s.find("color:#3366ff\">Coverage Summary</h3>\n"), std::string::npos);
  EXPECT_NE(s.find("<TH ALIGN=\"center\">total</TH>\n<TH ALIGN=\"center\">missed</TH>\n"
                   "<TH ALIGN=\"center\">similar</TH>\n<TH ALIGN=\"center\">miss%</TH>\n"),
            std::string::npos);
  EXPECT_NE(s.find("<TD ALIGN=\"center\">1,234,567</TD>\n<TD ALIGN=\"center\">2</TD>\n"
                   "<TD ALIGN=\"center\">1,234,565</TD>\n"
                   "<TD ALIGN=\"center\" STYLE=\"font-weight:bold\">  0.00</TD>\n"),
            std::string::npos);
  // 1 of 800 is 0.125%: halves round up.
  EXPECT_NE(s.find("<TD ALIGN=\"center\">800</TD>\n<TD ALIGN=\"center\">1</TD>\n"
                   "<TD ALIGN=\"center\">799</TD>\n"
                   "<TD ALIGN=\"center\" STYLE=\"font-weight:bold\">  0.13</TD>\n"),
            std::string::npos);
  EXPECT_EQ(s.find("charset"), std::string::npos);
}

TEST_F(FramesTest, ProjectAndOwnerNamesCannotInjectMarkup) {
  settings_.project_name = "p<script>&";
  ASSERT_TRUE(write_root_frame_set(ctx(), RunTotals{}, "Code_Coverage", "__Code_Coverage",
                                   nullptr, nullptr));
  EXPECT_NE(page("CODE_COVERAGE.HTML")
                .find("<title>Vorel&#174; Compilers code-coverage information for "
                      "p&lt;script&gt;&amp;</title>\n"),
            std::string::npos);
  EXPECT_NE(page("CodeCoverage/__CODE_COVERAGE.HTML")
                .find("Coverage Summary of p&lt;script&gt;&amp;</h3>"),
            std::string::npos);
}

TEST_F(FramesTest, ToolbarPage) {
  ASSERT_TRUE(write_toolbar_and_help(ctx()));
  EXPECT_EQ(page("CodeCoverage/__TOOLBAR.HTML"),
            "<html>\n<head>\n<base target=\"_parent\">\n</head>\n<body bgcolor=\"FFFFFF\">\n"
            "<table border=0 cellpadding=3 cellspacing=0>\n<tr>\n<td>\n"
            "<a href=\"../CODE_COVERAGE.HTML\" title=\"Coverage Summary\"><img "
            "src=\"__Home.gif\" border=\"0\"></a>\n"
            "</td>\n<td>\n"
            "<a target=\"_new\" href=\"../CodeCoverage/__HELP.HTML\" title=\"Help\"><img "
            "src=\"__Help.gif\" border=\"0\"></a>\n"
            "</td>\n<td width=\"100%\" align=\"right\">\n"
            "<a target=\"_new\" href=\"https://www.vorel.example/\"><img src=\"__VorelR.gif\" "
            "border=\"0\"></a>\n"
            "</td>\n</tr>\n</table>\n</body>\n</html>\n");
  for (const char* gif : {"__Home.gif", "__Help.gif", "__VorelR.gif", "__Spacer.gif"})
    EXPECT_TRUE(e2e::file_exists(dir_.file(std::string("CodeCoverage/") + gif))) << gif;
}

TEST_F(FramesTest, CharsetLineOnToolbarButNeverOnHelpRootOrSummary) {
  ASSERT_TRUE(write_toolbar_and_help(ctx(true)));
  ASSERT_TRUE(write_root_frame_set(ctx(true), RunTotals{}, "Code_Coverage", "__Code_Coverage",
                                   nullptr, nullptr));
  const char kCharset[] =
      "<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\" />\n";
  EXPECT_NE(page("CodeCoverage/__TOOLBAR.HTML").find(kCharset), std::string::npos);
  for (const char* p : {"CodeCoverage/__HELP.HTML", "CODE_COVERAGE.HTML",
                        "CodeCoverage/__CODE_COVERAGE.HTML"})
    EXPECT_EQ(page(p).find("charset"), std::string::npos) << p;
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

// Each part of the toolbar set fails with its own message and stops the rest.
TEST_F(FramesTest, ToolbarFailureMessages) {
  struct Case {
    const char* blocked;
    const char* message;
  };
  const Case cases[] = {
      {"CodeCoverage/__TOOLBAR.HTML", "Unable to create ToolBar file!\n"},
      {"CodeCoverage/__Home.gif", "Unable to create the Home Icon CodeCoverage/__Home.gif!\n"},
      {"CodeCoverage/__Help.gif", "Unable to create the Home Icon CodeCoverage/__Help.gif!\n"},
      {"CodeCoverage/__VorelR.gif", "Unable to create Vorel Logo CodeCoverage/__VorelR.gif!\n"},
      {"CodeCoverage/__Spacer.gif", "Unable to create Spacer image CodeCoverage/__Spacer.gif!\n"},
      {"CodeCoverage/__HELP.HTML", "Unable to create On-Line Help!\n"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(dir_.file("CodeCoverage"));
    block(c.blocked);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(write_toolbar_and_help(ctx())) << c.blocked;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
  }
}

TEST_F(FramesTest, RootFailureMessages) {
  block("CodeCoverage/__CODE_COVERAGE.HTML");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_root_frame_set(ctx(), RunTotals{}, "Code_Coverage", "__Code_Coverage",
                                    nullptr, nullptr));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Unable to create root html file __Code_Coverage!\n");
  EXPECT_FALSE(e2e::file_exists(dir_.file("CODE_COVERAGE.HTML")));
  std::filesystem::remove_all(dir_.file("CodeCoverage/__CODE_COVERAGE.HTML"));
  block("CODE_COVERAGE.HTML");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_root_frame_set(ctx(), RunTotals{}, "Code_Coverage", "__Code_Coverage",
                                    nullptr, nullptr));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Unable to create root html file Code_Coverage!\n");
}

}  // namespace
}  // namespace vorel
