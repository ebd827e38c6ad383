#include "coverage/marker_scanner.h"

#include <gtest/gtest.h>

#include "coverage/component.h"
#include "coverage/markers.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

const MarkerLists kMarkers{{"ONE"}, {"BEGIN"}, {"END"}, true};

std::set<uint32_t> scan(const std::string& text, const std::vector<uint32_t>& routine_lines = {},
                        const MarkerLists& markers = kMarkers) {
  std::vector<component> group;
  for (uint32_t line : routine_lines) {
    component c;
    c.start_line = line;
    group.push_back(c);
  }
  std::vector<const component*> by_start = order_by_start_line(group);
  return MarkerScanner::scan_text(text, "f.c", markers, by_start).infeasible_lines();
}

using Lines = std::set<uint32_t>;

TEST(MarkerScanner, OnlyACommentThatIsExactlyAMarkerMarks) {
  EXPECT_EQ(scan("int a = 1; // ONE\n"
                 "int b;\n"
                 "/* ONE */ int c;\n"
                 "// not ONE here\n"
                 "/*** ONE ***/\n"
                 "//\tONE \n"
                 "// one\n"),
            (Lines{1, 3, 5, 6}));
}

TEST(MarkerScanner, LiteralsHideComments) {
  EXPECT_EQ(scan("const char* s = \"// ONE\";\n"
                 "const char* t = \"\\\" // ONE\";\n"
                 "char q = '\"'; // ONE\n"
                 "char bs = '\\\\'; // ONE\n"
                 "const char* u = \"a\\\\\"; // ONE\n"
                 "char sq = '\\''; /* ONE */\n"
                 "const char* v = \"/* ONE */\";\n"),
            (Lines{3, 4, 5, 6}));
}

TEST(MarkerScanner, LineCommentInsideABlockCommentEndsNothing) {
  EXPECT_EQ(scan("/* BEGIN */\n"
                 "x = 1; /* not // END */\n"
                 "y = 2;\n"
                 "// END\n"
                 "z = 3;\n"),
            (Lines{1, 2, 3, 4}));
}

TEST(MarkerScanner, EmptyBlockCommentClosesAtOnce) {
  EXPECT_EQ(scan("/**/ int a; // ONE\n"
                 "int b; /* x */\n"),
            (Lines{1}));
}

TEST(MarkerScanner, BlockCommentsSpanLinesAndMarkTheirFirstLine) {
  EXPECT_EQ(scan("int a;\n"
                 "/*\n"
                 "   ONE\n"
                 " */\n"
                 "int b;\n"),
            (Lines{2}));
}

TEST(MarkerScanner, UnmatchedBeginRunsToTheLastLine) {
  EXPECT_EQ(scan("a\nb\n// BEGIN\nd\ne\n"), (Lines{3, 4, 5}));
  EXPECT_EQ(scan("a\nb\n// BEGIN\nd\ne"), (Lines{3, 4, 5}));
}

TEST(MarkerScanner, UnmatchedEndIsWarnedAndIgnored) {
  testing::internal::CaptureStderr();
  Lines lines = scan("a\n// END\nc\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "WARNING: An ending marker in file f.c, line 2 doesn't match any begining marker. "
            "Ignored\n");
  EXPECT_TRUE(lines.empty());
}

TEST(MarkerScanner, RegionsNestInnermostFirst) {
  EXPECT_EQ(scan("// BEGIN\nb\n// BEGIN\nd\n// END\nf\n// END\nh\n"),
            (Lines{1, 2, 3, 4, 5, 6, 7}));
  // The inner region closes; the outer one runs to the end of the file.
  EXPECT_EQ(scan("// BEGIN\nb\n// BEGIN\nd\n// END\nf\ng\n"), (Lines{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(scan("a\n// BEGIN\nc\n// END\ne\n// BEGIN\ng\n// END\ni\n"),
            (Lines{2, 3, 4, 6, 7, 8}));
}

TEST(MarkerScanner, OneLineMarkerOnARoutinesFirstLineMarksTheRoutine) {
  const std::string text =
      "#include <x.h>\n"       // 1
      "void f() { // ONE\n"    // 2: f starts here
      "  a();\n"               // 3
      "}\n"                    // 4
      "\n"                     // 5
      "void g() { // ONE\n"    // 6: g starts here, the last routine
      "  b();\n"               // 7
      "}\n"                    // 8
      "// tail\n";             // 9
  EXPECT_EQ(scan(text, {2, 6}), (Lines{2, 3, 4, 5, 6, 7, 8, 9}));
  // With routines at 2 and 4 the first marker covers 2-3; line 6 starts none.
  EXPECT_EQ(scan(text, {2, 4}), (Lines{2, 3, 6}));
}

TEST(MarkerScanner, RoutineMarkerStopsBeforeTheNextRoutine) {
  const std::string text = "int f() { // ONE\n  return 1;\n}\nint g() {\n  return 2;\n}\n";
  EXPECT_EQ(scan(text, {1, 4}), (Lines{1, 2, 3}));
  // A one-line marker on an ordinary line marks that line only.
  EXPECT_EQ(scan("int f() {\n  x(); // ONE\n}\nint g();\n", {1, 4}), (Lines{2}));
}

TEST(MarkerScanner, CommentOnTheLastLineCounts) {
  EXPECT_EQ(scan("a\n// ONE\n"), (Lines{2}));
  EXPECT_EQ(scan("a\n// ONE"), (Lines{2}));
}

TEST(MarkerScanner, NulByteEndsTheScan) {
  EXPECT_EQ(scan(std::string("// ONE\nx\0// ONE\n", 17)), (Lines{1}));
}

TEST(MarkerScanner, NoScanWithoutUsableMarkers) {
  MarkerLists begin_only{{}, {"BEGIN"}, {}, true};
  EXPECT_FALSE(markers_need_scan(begin_only));
  EXPECT_TRUE(scan("// BEGIN\n", {}, begin_only).empty());
  EXPECT_TRUE(markers_need_scan(MarkerLists{{"ONE"}, {}, {}, true}));
  EXPECT_TRUE(markers_need_scan(MarkerLists{{}, {"B"}, {"E"}, true}));
}

TEST(MarkerScanner, FilesAreReadInTextMode) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("w.c"), "a;\r\n// ONE\r\n/* BEGIN */\r\nb;\r\n");
  MarkerScanner s = MarkerScanner::scan_file(dir.file("w.c"), kMarkers, {});
  EXPECT_TRUE(s.scanned());
  EXPECT_EQ(s.infeasible_lines(), (Lines{2, 3, 4}));
  EXPECT_TRUE(s.is_infeasible(4));
  EXPECT_FALSE(s.is_infeasible(1));
  // A missing source is not scanned; the position table reports it.
  testing::internal::CaptureStderr();
  MarkerScanner missing = MarkerScanner::scan_file(dir.file("none.c"), kMarkers, {});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(missing.scanned());
}

}  // namespace
}  // namespace vorel
