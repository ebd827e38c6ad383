#include "report/source_render.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "coverage/coverage_list.h"
#include "coverage/marker_scanner.h"
#include "coverage/markers.h"
#include "coverage/position_state.h"
#include "driver/settings.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

const char kA[] = "<a style=\"background-color: ";

// A position table over a scratch source file, and the renderer's output.
class RenderTest : public testing::Test {
 protected:
  void SetUp() override {
    e2e::write_file(dir_.file("s.c"), std::string(20, '\n'));
    ASSERT_TRUE(positions_.bSetName(dir_.file("s.c"), "s.c"));
  }
  void add(uint32_t line, uint32_t col, uint64_t count, int times = 1) {
    for (int i = 0; i < times; ++i) positions_.bAddBlockCount(line, col, count, false, nullptr);
  }
  // Renders the lines (numbered from `first`) and returns the output.
  std::string render(std::vector<std::string> lines, uint32_t first = 1,
                     std::map<uint32_t, bool> starts = {}) {
    char* buf = nullptr;
    size_t len = 0;
    std::FILE* out = open_memstream(&buf, &len);
    {
      SourceRenderer r(out, settings_, positions_, scanner_, starts);
      for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(r.render_line(first + static_cast<uint32_t>(i), lines[i]));
    }
    std::fclose(out);
    std::string s(buf, len);
    std::free(buf);
    return s;
  }

  e2e::TempDir dir_;
  Settings settings_;
  coverage_list positions_;
  MarkerScanner scanner_;
};

TEST_F(RenderTest, PlainLineIsNumberedAnchoredAndEscaped) {
  EXPECT_EQ(render({"int a<b && c;\n"}),
            "     1) <a name=\"l1\" style=\"background-color: #ffffff\">int a&lt;b &amp;&amp; "
            "c;</a>\n");
}

TEST_F(RenderTest, ColourRunsAndCountLine) {
  settings_.show_counts = true;
  add(1, 3, 5);  // covered: #ffffff, like the starting colour
  add(1, 7, 0);  // uncovered block: #ffff99
  EXPECT_EQ(render({"  x = f(y);\n"}),
            std::string("     1) <a name=\"l1\" style=\"background-color: #ffffff\">  x = </a>") +
                kA + "#ffff99\">f(y);</a>\n        " + kA + "#ffffff\">  ^ 5 ^ 0 </a>\n");
}

TEST_F(RenderTest, AnchorTakesTheColourOfTheFirstBlockAndItCarriesOn) {
  add(1, 5, 0);
  EXPECT_EQ(render({"    g();\n", "h();\n"}),
            "     1) <a name=\"l1\" style=\"background-color: #ffff99\">    g();</a>\n"
            "     2) <a name=\"l2\" style=\"background-color: #ffff99\">h();</a>\n");
}

TEST_F(RenderTest, CollidingCountsMoveToANewInformationLine) {
  settings_.show_counts = true;
  add(1, 1, 12345);
  add(1, 4, 7);
  EXPECT_EQ(render({"abcdefg\n"}),
            std::string("     1) <a name=\"l1\" style=\"background-color: #ffffff\">abcdefg</a>\n") +
                "        " + kA + "#ffffff\">^ 12,345 </a>\n" +
                "        " + kA + "#ffffff\">   ^ 7 </a>\n");
}

TEST_F(RenderTest, TabsKeepTheirPlaceUnderTheCode) {
  settings_.show_counts = true;
  add(1, 2, 3);
  EXPECT_EQ(render({"\tx;\n"}),
            std::string("     1) <a name=\"l1\" style=\"background-color: #ffffff\">\tx;</a>\n") +
                "        " + kA + "#ffffff\">\t^ 3 </a>\n");
}

TEST_F(RenderTest, CountTexts) {
  PositionRecord r;
  r.count = 1000;
  r.blocks = 10;
  r.covered = 8;
  EXPECT_EQ(count_text(r), " 1,000 (8/10)");
  r.count = 5;
  r.blocks = r.covered = 2;
  EXPECT_EQ(count_text(r), " 5 (2)");
  r.count = 0;
  r.blocks = 3;
  r.covered = 0;
  EXPECT_EQ(count_text(r), " 0 (3)");
  r.count = kNeverExecuted;
  r.blocks = r.covered = 1;
  EXPECT_EQ(count_text(r), " 0 ");
}

TEST_F(RenderTest, SameColourTextWritesNoChangeTagAndEndMarksGetNoCaret) {
  settings_.show_counts = true;
  positions_.bMarkLastBlock(1);  // unknown (#ffffff) at column 1
  add(1, 3, 4);                  // covered (#ffffff)
  EXPECT_EQ(render({"a b\n"}),
            std::string("     1) <a name=\"l1\" style=\"background-color: #ffffff\">a b</a>\n") +
                "        " + kA + "#ffffff\">  ^ 4 </a>\n");
}

TEST_F(RenderTest, InfeasibleLineKeepsColourOneWithoutMarks) {
  settings_.show_counts = true;
  MarkerLists markers;
  markers.one_line = {"NOTREACHED"};
  markers.in_use = true;
  scanner_ = MarkerScanner::scan_text("  g(); // NOTREACHED\nh();\n", "s.c", markers, {});
  add(1, 3, 0);
  add(1, 10, 2);
  EXPECT_EQ(render({"  g(); // NOTREACHED\n", "h();\n"}),
            "     1) <a name=\"l1\" style=\"background-color: #90ee90\">  g(); // NOTREACHED</a>\n"
            "     2) <a name=\"l2\" style=\"background-color: #ffffff\">h();</a>\n");
}

TEST_F(RenderTest, LineNumbersStopAt999999) {
  EXPECT_EQ(render({"x\n"}, 1234567),
            "999999) <a name=\"l1234567\" style=\"background-color: #ffffff\">x</a>\n");
}

TEST_F(RenderTest, FloatingInformationLinesTakeTheCodeColour) {
  settings_.show_counts = true;
  settings_.floating_info = true;
  add(1, 1, 0);
  EXPECT_EQ(render({"f;\n"}),
            std::string("     1) <a name=\"l1\" style=\"background-color: #ffff99\">f;</a>\n") +
                "        " + kA + "#ffff99\">^ 0 </a>\n");
}

TEST_F(RenderTest, DifferentialFunctionStartsSetTheColour) {
  settings_.differential = true;
  EXPECT_EQ(render({"a\n", "b\n", "c\n"}, 1, {{1, true}, {3, false}}),
            "     1) <a name=\"l1\" style=\"background-color: #ffcccc\">a</a>\n"
            "     2) <a name=\"l2\" style=\"background-color: #ffcccc\">b</a>\n"
            "     3) <a name=\"l3\" style=\"background-color: #ffffff\">c</a>\n");
}

TEST_F(RenderTest, ColourValuesAreEscapedAndALastLineWithoutFeedIsClosed) {
  settings_.colors[2] = "red\"><script>";
  EXPECT_EQ(render({"x"}),
            "     1) <a name=\"l1\" style=\"background-color: red&quot;&gt;&lt;script&gt;\">x</a>\n");
}

}  // namespace
}  // namespace vorel
