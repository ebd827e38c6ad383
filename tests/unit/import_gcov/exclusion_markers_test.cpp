// The exclusion-marker scanner against lcov's rules (geninfo's own scan:
// a marker anywhere in a line, STOP before START on one line, the START
// line inside its section, the STOP line outside), and the filter that
// applies it to gcov's data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/harness.h"
#include "import_gcov/exclusion_markers.h"
#include "import_gcov/marker_filter.h"

namespace {

using import_gcov::ExclusionMarkers;

// The excluded lines among 1..9, as "2,3".
std::string listed(const ExclusionMarkers::Ranges& ranges) {
  ExclusionMarkers m;
  m.lines = ranges;
  std::string out;
  for (uint32_t line = 1; line <= 9; ++line)
    if (m.excludes_line(line)) {
      if (!out.empty()) out += ',';
      out += std::to_string(line);
    }
  return out;
}

TEST(ExclusionMarkers, FollowLcovsRules) {
  const struct {
    const char* text;
    const char* lines;     // excluded from every figure
    const char* branches;  // branch exclusions, kept for later
    bool unterminated;
  } cases[] = {
      {"a\nb; // LCOV_EXCL_LINE\nc\n", "2", "", false},
      {"a\n/* LCOV_EXCL_START */\nb\n// LCOV_EXCL_STOP\nc\n", "2,3", "", false},
      {"a // LCOV_EXCL_START LCOV_EXCL_STOP\nb\n", "", "", false},               // STOP wins
      {"GCOVR_EXCL_START\nx\nGCOVR_EXCL_STOP\ny GCOVR_EXCL_LINE\n", "1,2,4", "", false},
      {"LCOV_EXCL_START\nLCOV_EXCL_START\nLCOV_EXCL_STOP\nLCOV_EXCL_STOP\n", "1,2", "", false},  // no nesting
      {"LCOV_EXCL_START\nx LCOV_EXCL_LINE\nLCOV_EXCL_STOP LCOV_EXCL_LINE\nz\n", "1,2,3", "", false},
      {"a\nb\nLCOV_EXCL_START\nc\n", "3,4,5,6,7,8,9", "", true},                    // to the end
      {"x // LCOV_EXCL_BR_LINE\nLCOV_EXCL_BR_START\ny\nLCOV_EXCL_BR_STOP\n", "", "1,2,3", false},
      {"LCOV_EXCL_EXCEPTION_BR_LINE\nLCOV_EXCL_EXCEPTION_BR_START\n", "", "", false},  // no effect
      {"XLCOV_EXCL_LINES\nGCOV_EXCL_LINE\nLCOV_EXCL\nLCOV_EXCL_line\n", "1", "", false},  // lcov's regex: substrings
      {"a\r\nb LCOV_EXCL_LINE\r\nc\r\n", "2", "", false},
      {"", "", "", false},
  };
  for (const auto& c : cases) {
    ExclusionMarkers m = import_gcov::scan_exclusion_markers(c.text);
    EXPECT_EQ(listed(m.lines), c.lines) << c.text;
    EXPECT_EQ(listed(m.branch_lines), c.branches) << c.text;
    EXPECT_EQ(m.unterminated, c.unterminated) << c.text;
  }
}

TEST(MarkerFilter, DropsExcludedLinesAndFunctionsWhoseFirstLineIsExcluded) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("a.c"),
                  "int f(void) { return 1; } // LCOV_EXCL_LINE\n"  // 1
                  "int g(int x) {\n"                               // 2
                  "  if (x) return 0; // LCOV_EXCL_LINE\n"         // 3
                  "  return 1;\n"                                  // 4
                  "}\n");
  import_gcov::GcovUnit unit;
  unit.current_working_directory = dir.path();
  import_gcov::GcovFile file;
  file.name = "a.c";
  file.line_functions = {"f", "g"};
  for (const char* name : {"f", "g"}) {
    file.functions.emplace_back();
    file.functions.back().name = name;
    file.functions.back().start_line = name[0] == 'f' ? 1 : 2;
  }
  for (uint32_t line : {1, 2, 3, 4}) file.lines.push_back({line, 1, line == 1 ? 0u : 1u});
  unit.files = {file, file};
  unit.files[1].name = "missing.c";
  import_gcov::MarkerFilter filter;
  std::vector<std::string> warnings;
  filter.apply(&unit, &warnings);
  ASSERT_EQ(unit.files[0].functions.size(), 1u);
  EXPECT_EQ(unit.files[0].functions[0].name, "g");
  std::string kept;
  for (const auto& l : unit.files[0].lines) kept += std::to_string(l.line_number);
  EXPECT_EQ(kept, "24");
  // An unreadable source: one warning, its data untouched.
  EXPECT_EQ(unit.files[1].lines.size(), 4u);
  filter.apply(&unit, &warnings);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("missing.c: cannot read the source"), std::string::npos) << warnings[0];
  EXPECT_EQ(filter.sources_with_markers(), 1u);
}

}  // namespace
