// Rendering source lines: the cases the hand-checked view of
// tests/e2e/expected/html_demo/SRC_DEMO_C_SRC.HTML does not show.
#include "report/source_render.h"

#include <gtest/gtest.h>

#include <functional>

#include "coverage/coverage_list.h"
#include "coverage/marker_scanner.h"
#include "coverage/markers.h"
#include "coverage/position_state.h"
#include "report/report_options.h"
#include "e2e/harness.h"
#include "mem_stream.h"

namespace vorel {
namespace {

struct Inputs {
  ReportOptions options;
  CoverageList positions;
  MarkerScanner scanner;
  std::map<uint32_t, bool> starts;
  void add(uint32_t line, uint32_t col, uint64_t count) {
    positions.add_block_count(line, col, count, false, nullptr);
  }
};

TEST(SourceRender, Lines) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("s.c"), std::string(20, '\n'));
  const std::string a = "<a style=\"background-color: ";
  struct Case {
    const char* what;
    std::function<void(Inputs&)> setup;
    std::vector<std::string> lines;
    uint32_t first;
    std::string out;
  } cases[] = {
      {"a tab keeps its place under the code",
       [](Inputs& s) { s.options.show_counts = true; s.add(1, 2, 3); }, {"\tx;\n"}, 1,
       "     1) <a name=\"l1\" style=\"background-color: #ffffff\">\tx;</a>\n        " + a +
           "#ffffff\">\t^ 3 </a>\n"},
      {"a count that fills the columns up to the next mark keeps its line",
       [](Inputs& s) { s.options.show_counts = true; s.add(1, 1, 3); s.add(1, 5, 2); }, {"abcdefgh\n"}, 1,
       "     1) <a name=\"l1\" style=\"background-color: #ffffff\">abcdefgh</a>\n        " + a +
           "#ffffff\">^ 3 ^ 2 </a>\n"},
      {"an infeasible line keeps colour 1 and no marks",
       [](Inputs& s) {
         s.options.show_counts = true;
         MarkerLists markers;
         markers.one_line = {"NOTREACHED"};
         markers.in_use = true;
         s.scanner = MarkerScanner::scan_text("  g(); // NOTREACHED\nh();\n", "s.c", markers, {});
         s.add(1, 3, 0);
         s.add(1, 10, 2);
       },
       {"  g(); // NOTREACHED\n", "h();\n"}, 1,
       "     1) <a name=\"l1\" style=\"background-color: #90ee90\">  g(); // NOTREACHED</a>\n"
       "     2) <a name=\"l2\" style=\"background-color: #ffffff\">h();</a>\n"},
      {"line numbers stop at 999999", [](Inputs&) {}, {"x\n"}, 1234567,
       "999999) <a name=\"l1234567\" style=\"background-color: #ffffff\">x</a>\n"},
      {"floating information lines take the code colour",
       [](Inputs& s) {
         s.options.show_counts = s.options.floating_info = true;
         s.add(1, 1, 0);
       },
       {"f;\n"}, 1,
       "     1) <a name=\"l1\" style=\"background-color: #ffff99\">f;</a>\n        " + a +
           "#ffff99\">^ 0 </a>\n"},
      {"-ref function starts set the colour",
       [](Inputs& s) {
         s.options.differential = true;
         s.starts = {{1, true}, {3, false}};
       },
       {"a\n", "b\n", "c\n"}, 1,
       "     1) <a name=\"l1\" style=\"background-color: #ffcccc\">a</a>\n"
       "     2) <a name=\"l2\" style=\"background-color: #ffcccc\">b</a>\n"
       "     3) <a name=\"l3\" style=\"background-color: #ffffff\">c</a>\n"},
      {"colour values are escaped; a last line without feed is closed",
       [](Inputs& s) { s.options.colors[2] = "red\"><script>"; }, {"x"}, 1,
       "     1) <a name=\"l1\" style=\"background-color: red&quot;&gt;&lt;script&gt;\">x</a>\n"},
  };
  for (const Case& c : cases) {
    Inputs s;
    ASSERT_TRUE(s.positions.set_name(dir.file("s.c"), "s.c"));
    c.setup(s);
    MemStream out;
    {
      SourceRenderer r(out.get(), s.options, s.positions, s.scanner, s.starts);
      for (size_t i = 0; i < c.lines.size(); ++i)
        EXPECT_TRUE(r.render_line(c.first + static_cast<uint32_t>(i), c.lines[i]));
    }
    EXPECT_EQ(out.text(), c.out) << c.what;
  }
}

TEST(SourceRender, CountTexts) {
  auto text = [](uint64_t count, uint32_t blocks, uint32_t covered) {
    PositionRecord r;
    r.count = count, r.blocks = blocks, r.covered = covered;
    return count_text(r);
  };
  EXPECT_EQ(text(1000, 10, 8) + "|" + text(5, 2, 2) + "|" + text(0, 3, 0) + "|" + text(kNeverExecuted, 1, 1),
            " 1,000 (8/10)| 5 (2)| 0 (3)| 0 ");
}

}  // namespace
}  // namespace vorel
