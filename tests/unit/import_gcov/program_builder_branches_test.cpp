// Branch arcs and partly executed lines in the program description: arcs
// summed per line as lcov sums them, given to the first routine that holds
// the line and ran, and a zero-count block on each partly executed line.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "import_gcov/program_builder.h"
#include "profile/branch_tag.h"

namespace {

using namespace import_gcov;
namespace pw = profile_writer;

struct LineSpec {
  uint32_t line;
  uint64_t count;
  bool unexecuted;
  std::vector<uint64_t> arcs;
};

// A unit with source file "/w/a.c" whose function `name` (lines 1-9) has `lines`.
GcovUnit unit(const std::string& data_file, const std::string& name, uint64_t calls,
              const std::vector<LineSpec>& lines) {
  GcovUnit u;
  u.current_working_directory = "/w";
  u.data_file = data_file;
  GcovFile f;
  f.name = "a.c";
  GcovFunction fn;
  fn.name = name;
  fn.start_line = 1;
  fn.end_line = 9;
  fn.execution_count = calls;
  f.functions.push_back(fn);
  f.line_functions.push_back(name);
  for (const LineSpec& s : lines) {
    GcovLine l;
    l.line_number = s.line;
    l.count = s.count;
    l.function = 0;
    l.unexecuted_block = s.unexecuted;
    for (uint64_t c : s.arcs) l.branches.push_back({c});
    f.lines.push_back(l);
  }
  u.files.push_back(f);
  return u;
}

// Per routine: its blocks beyond one per line, "partial@L" (a second block
// on line L) or "arc L.k=count" ("-" for an arc whose line never ran), and
// value B.
std::string extra_blocks(const pw::Routine& r) {
  std::ostringstream s;
  std::set<uint32_t> seen;
  for (const pw::Block& b : r.blocks) {
    if (vorel::is_branch_map(static_cast<uint32_t>(b.lines.size()), b.map_value)) {
      EXPECT_EQ(b.line, 0u);
      s << " arc " << b.map_first << "." << (b.map_value & vorel::kBranchNumberMask) << "=";
      if (b.map_value & vorel::kBranchNotRun) s << "-"; else s << b.count;
    } else if (b.lines.size() == 1 && !seen.insert(b.lines[0]).second) {
      EXPECT_EQ(b.count, 0u);
      s << " partial@" << b.line;
    }
  }
  s << " B=" << r.extra_blocks;
  return s.str();
}

TEST(ProgramBuilderBranches, ArcsAreSummedAsLcovSumsThem) {
  struct Case {
    const char* what;
    std::vector<GcovUnit> units;
    std::vector<std::string> expected;  // one per routine
  };
  const std::vector<Case> cases = {
      {"one unit: an untaken arc makes its line partial",
       {unit("u1", "f", 1, {{2, 1, false, {1, 0}}, {3, 1, false, {}}})},
       {" partial@2 arc 2.0=1 arc 2.1=0 B=3"}},
      {"gcov's unexecuted-block flag alone makes a line partial; a line that never ran is not",
       {unit("u1", "f", 1, {{2, 1, true, {}}, {3, 0, true, {}}})},
       {" partial@2 B=1"}},
      {"a unit that never ran adds '-' arcs that give way to counts",
       {unit("never", "f", 0, {{2, 0, true, {0, 0}}}), unit("ran", "f", 2, {{2, 2, false, {2, 3}}})},
       {" arc 2.0=2 arc 2.1=3 B=3"}},
      {"arcs of a line that never ran anywhere stay '-'",
       {unit("never", "f", 0, {{2, 0, true, {0, 0}}})},
       {" arc 2.0=- arc 2.1=- B=3"}},
      {"two functions on one line: the arcs of both entries add up in the first",
       {unit("u1", "f", 1, {{2, 1, false, {1, 0}}}), unit("u2", "g", 1, {{2, 1, false, {0, 1, 5}}})},
       {" arc 2.0=1 arc 2.1=1 arc 2.2=5 B=4", " B=1"}},
      {"the first function on the line never ran: the arcs go to the one that ran",
       {unit("u1", "f", 0, {{2, 0, true, {0, 0}}}), unit("u2", "g", 1, {{2, 1, false, {1, 0}}})},
       {" B=1", " partial@2 arc 2.0=1 arc 2.1=0 B=3"}},
  };
  for (const Case& c : cases) {
    ProgramBuilder b;
    std::string error;
    for (const GcovUnit& u : c.units) ASSERT_TRUE(b.add(u, &error)) << c.what << ": " << error;
    ImportSummary s;
    pw::Program p = b.finish(1, &s);
    std::vector<std::string> got;
    for (const pw::Module& m : p.modules)
      for (const pw::SourceFile& f : m.files)
        for (const pw::Routine& r : f.routines) got.push_back(extra_blocks(r));
    EXPECT_EQ(got, c.expected) << c.what;
  }
}

}  // namespace
