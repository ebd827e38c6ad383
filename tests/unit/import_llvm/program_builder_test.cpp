// The LLVM program builder: regions become blocks carrying the lines on
// which llvm-cov counts them, names lose llvm-cov's file prefix, markers
// drop functions and lines, inputs sum.
#include "import_llvm/program_builder.h"

#include <gtest/gtest.h>

#include "profile/line_holder.h"

namespace {

using namespace import_llvm;

LlvmRegion region(uint32_t l1, uint32_t c1, uint32_t l2, uint32_t c2, uint64_t count, uint32_t file = 0,
                  RegionKind kind = RegionKind::kCode, uint32_t expanded = 0) {
  return LlvmRegion{l1, c1, l2, c2, count, file, expanded, kind};
}

// f: body 1:1-3:2 (7), on line 2 a region (3) and, starting at the same
// place, one (9) whose segment the segments do not show.
LlvmExport sample() {
  LlvmExport e;
  e.files.push_back(LlvmFile{"/p/a.c", {{1, 1, 7, true, true, false}, {2, 1, 3, true, true, false},
                                        {2, 10, 7, true, false, false}, {3, 2, 0, false, false, false}}});
  e.functions.push_back(LlvmFunction{"a.c:f", 7, {"/p/a.c"},
                                     {region(1, 1, 3, 2, 7), region(2, 1, 2, 10, 3), region(2, 1, 2, 10, 9),
                                      region(2, 12, 2, 14, 0, 0, RegionKind::kGap)}});
  return e;
}

FileRules keep_all() { return FileRules{[](const std::string&) { return true; }, nullptr}; }

TEST(LlvmProgramBuilder, RegionsCarryTheLinesLlvmCovCountsThemOn) {
  ProgramBuilder b;
  std::string error;
  ASSERT_TRUE(b.add(sample(), "in.json", keep_all(), &error)) << error;
  ASSERT_TRUE(b.add(sample(), "in2.json", keep_all(), &error)) << error;  // summed
  ImportSummary s;
  profile_writer::Program p = b.finish(1, &s);
  EXPECT_EQ(s.blocks, 3u);  // the gap region carries no block
  const profile_writer::Routine& f = p.modules.at(0).files.at(0).routines.at(0);
  EXPECT_EQ(f.name, "f");
  EXPECT_TRUE(f.is_static);
  ASSERT_EQ(f.blocks.size(), 3u);
  EXPECT_EQ(f.blocks[0].count, 14u);
  EXPECT_EQ(f.blocks[0].lines, (std::vector<uint32_t>{1, 2, 3}));  // line 2: max(7, 3)
  EXPECT_EQ(f.blocks[1].lines, (std::vector<uint32_t>{2}));
  EXPECT_TRUE(f.blocks[2].lines.empty());  // its count (18) is above the line's (14)
}

TEST(LlvmProgramBuilder, MarkersAndMacroExpansions) {
  LlvmExport e = sample();
  // g in b.c: a macro from b.h expanded at 5:3; a region of b.c at 2:5 in
  // a file id no expansion names (a macro named by token pasting).
  e.functions.push_back(LlvmFunction{"g", 1, {"/p/b.c", "/p/b.h", "/p/b.c"},
                                     {region(4, 1, 6, 2, 1), region(5, 3, 5, 9, 1, 0, RegionKind::kExpansion, 1),
                                      region(1, 20, 1, 30, 1, 1), region(2, 5, 2, 8, 1, 2)}});
  import_gcov::ExclusionMarkers m;
  m.lines = {{1, 1}};
  FileRules rules = keep_all();
  rules.markers = [&](const std::string& name) { return name == "/p/a.c" ? &m : nullptr; };
  ProgramBuilder b;
  std::string error;
  ASSERT_TRUE(b.add(e, "in.json", rules, &error)) << error;
  ImportSummary s;
  profile_writer::Program p = b.finish(1, &s);
  // f starts on an excluded line and leaves; its lines 2 and 3 stay, in a.c's line holder.
  const auto& files = p.modules.at(0).files;
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].routines.at(0).name, vorel::kLineHolderName);
  const profile_writer::Routine& g = files[1].routines.at(0);
  ASSERT_EQ(g.blocks.size(), 3u);
  EXPECT_EQ(g.blocks[1].line, 5u);
  EXPECT_EQ(g.blocks[1].col, 3u);
  EXPECT_EQ(g.blocks[2].line, 2u);
  EXPECT_EQ(g.blocks[2].col, 5u);
}

TEST(LlvmProgramBuilder, RoutineNames) {
  bool is_static = false;
  EXPECT_EQ(routine_name("main", &is_static), "main");
  EXPECT_FALSE(is_static);
  EXPECT_EQ(routine_name("t.cpp:_ZL6helperi", &is_static), "_ZL6helperi");
  EXPECT_TRUE(is_static);
  EXPECT_EQ(routine_name("dir/t.c;helper", &is_static), "helper");
  EXPECT_EQ(routine_name("-[A b:c:]", &is_static), "-[A b:c:]");
}

// Line 2's count (5) comes from a gap region running into it, which no
// region gives: the line holder carries the line, the body does not. The
// Windows name is absolute on any host (not joined with the working directory).
TEST(LlvmProgramBuilder, ACountOnlyAGapGivesGoesToTheLineHolder) {
  LlvmExport e;
  e.files.push_back(LlvmFile{"C:\\p/g.c", {{1, 1, 2, true, true, false}, {1, 9, 5, true, true, true},
                                           {2, 5, 2, true, false, false}, {3, 9, 0, false, false, false}}});
  e.functions.push_back(LlvmFunction{"g", 2, {"C:\\p/g.c"}, {region(1, 1, 3, 9, 2)}});
  ProgramBuilder b;
  std::string error;
  ASSERT_TRUE(b.add(e, "in.json", keep_all(), &error)) << error;
  ImportSummary s;
  profile_writer::Program p = b.finish(1, &s);
  EXPECT_EQ(p.modules.at(0).files.at(0).name, "C:\\p/g.c");
  const auto& routines = p.modules.at(0).files.at(0).routines;
  ASSERT_EQ(routines.size(), 2u);
  EXPECT_EQ(routines[0].blocks.at(0).lines, (std::vector<uint32_t>{1, 3}));
  EXPECT_EQ(routines[1].name, vorel::kLineHolderName);
  ASSERT_EQ(routines[1].blocks.size(), 2u);  // the entry, then line 2
  EXPECT_EQ(routines[1].blocks[1].lines, (std::vector<uint32_t>{2}));
  EXPECT_EQ(routines[1].blocks[1].count, 5u);
  EXPECT_EQ(routines[1].blocks[1].line, 0u);  // no position: no region
  EXPECT_EQ(s.blocks, 1u);
}

}  // namespace
