// The totals summary with -ref: what the hand-checked pages of
// tests/e2e/html_report_test.cpp do not show.
#include <gtest/gtest.h>

#include "coverage/totals.h"
#include "html_page_fixture.h"
#include "report/html_root.h"

namespace vorel {
namespace {

class FramesTest : public PageTest {
 protected:
  bool root(const RunTotals& t = {}, const char* covered = nullptr, const char* uncovered = nullptr) {
    return write_root_frame_set(ctx(), t, "Code_Coverage", "__Code_Coverage", covered, uncovered);
  }
};

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

}  // namespace
}  // namespace vorel
