#include "coverage/marker_scanner.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/component.h"
#include "coverage/markers.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

using Lines = std::set<uint32_t>;

const MarkerLists kMarkers{{"ONE"}, {"BEGIN"}, {"END"}, true};

Lines scan(const std::string& text, const std::vector<uint32_t>& routine_lines = {},
           const MarkerLists& markers = kMarkers) {
  std::vector<Component> group(routine_lines.size());
  for (size_t i = 0; i < group.size(); ++i) group[i].start_line = routine_lines[i];
  return MarkerScanner::scan_text(text, "f.c", markers, order_by_start_line(group)).infeasible_lines();
}

// A file of routines at lines 2 and 6, for the one-line marker on a
// routine's first line, which marks up to the next routine or to the end.
const char kRoutines[] =
    "#include <x.h>\n"       // 1
    "void f() { // ONE\n"    // 2
    "  a();\n"               // 3
    "}\n"                    // 4
    "\n"                     // 5
    "void g() { // ONE\n"    // 6
    "  b();\n"               // 7
    "}\n"                    // 8
    "// tail\n";             // 9

TEST(MarkerScanner, InfeasibleLines) {
  const struct {
    const char* what;
    std::string text;
    std::vector<uint32_t> routines;
    Lines lines;
  } cases[] = {
      {"only a comment that is exactly a marker marks",
       "int a = 1; // ONE\nint b;\n/* ONE */ int c;\n// not ONE here\n/*** ONE ***/\n//\tONE \n// one\n",
       {}, {1, 3, 5, 6}},
      {"literals hide comments",
       "const char* s = \"// ONE\";\nconst char* t = \"\\\" // ONE\";\nchar q = '\"'; // ONE\n"
       "char bs = '\\\\'; // ONE\nconst char* u = \"a\\\\\"; // ONE\nchar sq = '\\''; /* ONE */\n"
       "const char* v = \"/* ONE */\";\n",
       {}, {3, 4, 5, 6}},
      {"a line comment inside a block comment ends nothing",
       "/* BEGIN */\nx = 1; /* not // END */\ny = 2;\n// END\nz = 3;\n", {}, {1, 2, 3, 4}},
      {"an empty block comment closes at once", "/**/ int a; // ONE\nint b; /* x */\n", {}, {1}},
      {"a block comment marks its first line", "int a;\n/*\n   ONE\n */\nint b;\n", {}, {2}},
      {"an unmatched begin runs to the last line", "a\nb\n// BEGIN\nd\ne\n", {}, {3, 4, 5}},
      {"... also without a final line feed", "a\nb\n// BEGIN\nd\ne", {}, {3, 4, 5}},
      {"regions nest", "// BEGIN\nb\n// BEGIN\nd\n// END\nf\n// END\nh\n", {}, {1, 2, 3, 4, 5, 6, 7}},
      {"the inner region closes, the outer runs to the end",
       "// BEGIN\nb\n// BEGIN\nd\n// END\nf\ng\n", {}, {1, 2, 3, 4, 5, 6, 7}},
      {"two regions", "a\n// BEGIN\nc\n// END\ne\n// BEGIN\ng\n// END\ni\n", {}, {2, 3, 4, 6, 7, 8}},
      {"a marker on a routine's first line marks the routine", kRoutines, {2, 6},
       {2, 3, 4, 5, 6, 7, 8, 9}},
      {"... up to the next routine; line 6 starts none", kRoutines, {2, 4}, {2, 3, 6}},
      {"an ordinary line marks itself", "int f() {\n  x(); // ONE\n}\nint g();\n", {1, 4}, {2}},
      {"a comment on the last line counts", "a\n// ONE", {}, {2}},
      {"a NUL byte ends the scan", std::string("// ONE\nx\0// ONE\n", 17), {}, {1}},
  };
  for (const auto& c : cases) EXPECT_EQ(scan(c.text, c.routines), c.lines) << c.what;
}

}  // namespace
}  // namespace vorel
