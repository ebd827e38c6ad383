// The mapping from gcov's data to routines and blocks (docs/GCOV_IMPORT.md).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "import_gcov/program_builder.h"

namespace {

using namespace import_gcov;
namespace pw = profile_writer;

GcovFunction function(const std::string& name, uint32_t start, uint32_t end, uint64_t calls) {
  GcovFunction f;
  f.name = name;
  f.start_line = start;
  f.end_line = end;
  f.execution_count = calls;
  return f;
}

// A unit "dir/u<n>.c" with source file "h.h" holding `functions` and `lines`
// given as (line, count, function name or "").
GcovUnit unit(const std::string& data_file, std::vector<GcovFunction> functions,
              std::vector<std::tuple<uint32_t, uint64_t, std::string>> lines) {
  GcovUnit u;
  u.current_working_directory = "/w";
  u.data_file = data_file;
  GcovFile f;
  f.name = "./h.h";
  f.functions = std::move(functions);
  for (const auto& [line, count, name] : lines) {
    GcovLine l{line, count, kNoFunction};
    if (!name.empty()) {
      auto at = std::find(f.line_functions.begin(), f.line_functions.end(), name);
      l.function = static_cast<uint32_t>(at - f.line_functions.begin());
      if (at == f.line_functions.end()) f.line_functions.push_back(name);
    }
    f.lines.push_back(l);
  }
  u.files.push_back(f);
  return u;
}

// "name@module file: entry-count | count@line ..." per routine.
std::vector<std::string> describe(const pw::Program& p) {
  std::vector<std::string> out;
  for (const pw::Module& m : p.modules)
    for (const pw::SourceFile& f : m.files)
      for (const pw::Routine& r : f.routines) {
        std::ostringstream s;
        s << r.name << "@" << m.name << " " << f.name << ": " << r.blocks[0].count << " |";
        // The entry block has no position and no lines, and is the extra block.
        EXPECT_TRUE(r.blocks[0].lines.empty() && r.blocks[0].line == 0 && r.blocks[0].col == 0);
        EXPECT_EQ(r.extra_blocks, 1u);
        for (size_t b = 1; b < r.blocks.size(); ++b) {
          EXPECT_EQ(r.blocks[b].lines, std::vector<uint32_t>{r.blocks[b].line});
          s << " " << r.blocks[b].count << "@" << r.blocks[b].line;
        }
        out.push_back(s.str());
      }
  return out;
}

TEST(ProgramBuilder, MapsFunctionsLinesAndUnitsAsDocumented) {
  ProgramBuilder b;
  std::string error;
  // Unit 1: an inline function, two template instances sharing line 10, an
  // unattributed line inside `inl` and one outside every function, a
  // function without lines, and a never-called function whose own line and
  // enclosed unattributed line have counts (they go to the line holder).
  ASSERT_TRUE(b.add(unit("u1.c", {function("inl", 1, 4, 3), function("_Z1tIiEvv", 10, 10, 6),
                                   function("_Z1tIdEvv", 10, 10, 2), function("gone", 20, 22, 0),
                                   function("never", 40, 50, 0)},
                         {{2, 3, "inl"}, {3, 1, ""}, {10, 6, "_Z1tIiEvv"}, {10, 2, "_Z1tIdEvv"}, {30, 0, ""},
                          {41, 0, "never"}, {42, 5, "never"}, {45, 3, ""}}),
                    &error)) << error;
  // Unit 2: the same inline function again: one routine, counts summed.
  ASSERT_TRUE(b.add(unit("/abs/u2.c", {function("inl", 1, 4, 4)}, {{2, 4, "inl"}}), &error)) << error;
  ImportSummary s;
  pw::Program p = b.finish(1, &s);
  EXPECT_EQ(describe(p), (std::vector<std::string>{
                             "inl@/w/u1.c /w/h.h: 7 | 7@2 1@3",
                             "_Z1tIiEvv@/w/u1.c /w/h.h: 6 | 6@10",
                             "_Z1tIdEvv@/w/u1.c /w/h.h: 2 | 2@10",
                             "never@/w/u1.c /w/h.h: 0 | 0@41 0@42",
                             "__lines_outside_functions@/w/u1.c /w/h.h: 5 | 0@30 5@42 3@45",
                         }));
  EXPECT_EQ(p.modules.size(), 2u);
  EXPECT_EQ(s.routines_without_lines, 1u);
  EXPECT_EQ(s.lines, 7u);
}

// The same header reached through different spellings is one file.
TEST(ProgramBuilder, PathsAreNormalisedLexically) {
  const std::pair<const char*, const char*> cases[] = {
      {"/a/b/../c/./d.h", "/a/c/d.h"}, {"/a//b///c.h", "/a/b/c.h"}, {"/../x.h", "/x.h"},
      {"../../x/../y.h", "../../y.h"}, {"./a/..", "."}, {"a/b/../../../c", "../c"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(normal_path(in), out) << in;
  EXPECT_EQ(absolute_name("/w/build", "../src/lib.h"), "/w/src/lib.h");
  ProgramBuilder b;
  std::string error;
  GcovUnit u1 = unit("u1.c", {function("f", 1, 3, 1)}, {{2, 1, "f"}});
  GcovUnit u2 = unit("u2.c", {function("f", 1, 3, 2)}, {{2, 2, "f"}});
  u2.current_working_directory = "/w/sub/";
  u2.files[0].name = "..//./h.h";
  ASSERT_TRUE(b.add(u1, &error) && b.add(u2, &error)) << error;
  ImportSummary s;
  EXPECT_EQ(describe(b.finish(1, &s)), std::vector<std::string>{"f@/w/u1.c /w/h.h: 3 | 3@2"});
}

// Innermost enclosing extent: the latest start that still holds the line,
// the first listed among equal starts, none outside every extent.
TEST(ProgramBuilder, InnermostExtentOfEachLine) {
  const std::vector<std::pair<uint32_t, uint32_t>> extents = {{1, 100}, {10, 20}, {10, 20}, {12, 14}, {30, 40}, {0, 0}};
  const std::vector<uint32_t> lines = {1, 11, 13, 15, 25, 35, 101};
  const std::vector<size_t> want = {0, 1, 3, 1, 0, 4, SIZE_MAX};
  EXPECT_EQ(innermost_extents(extents, lines), want);
}

}  // namespace
