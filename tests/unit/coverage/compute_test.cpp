// The per-file computation on profiles written by the test writer and read
// by the real readers: position table, function tables, file entry, totals
// and what the full block lists receive.
#include "coverage/compute.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "compute_fixture.h"
#include "coverage/position_state.h"

namespace vorel {
namespace {

using namespace testing_support;
using test_support::capture;

class ComputeFile : public ComputeFixture {
 protected:
  int state(uint32_t line, uint32_t column = 1) const {
    PositionRecord r = at(line, column);
    return position_state(settings.differential, r.count, r.is_new, r.blocks, r.covered, r.last_block);
  }
};

TEST_F(ComputeFile, ExecutedAndNeverExecutedRoutines) {
  std::string a = source("a.c", 10);
  open(program({{a, {routine("f", 2, 5, {{2, 1, 5}, {3, 3, 0}, {4, 1, 2}}),
                     routine("g", 7, 9, {{7, 1, 0}, {8, 3, 0}})}}}));
  ASSERT_TRUE(compute());
  EXPECT_EQ(at(2, 1).count, 5u);
  EXPECT_EQ(at(3, 3).uncovered, 1u);
  EXPECT_TRUE(at(6, 1).last_block);    // the line after f's end
  EXPECT_EQ(at(6, 1).blocks, 0u);
  EXPECT_EQ(at(7, 1).count, kNeverExecuted);  // g's start only
  EXPECT_FALSE(has(8, 3));
  EXPECT_TRUE(at(10, 1).last_block);
  EXPECT_EQ(covered_names(), "f(2/3) ");
  EXPECT_EQ(uncovered_names(), "g(0/2) ");
  const FileEntry& e = entry();
  EXPECT_EQ(std::make_tuple(e.functions, e.covered_functions, e.blocks, e.covered_blocks, e.lines),
            std::make_tuple(2u, 1u, 5u, 2u, 0u));
  EXPECT_EQ(e.flags, static_cast<uint32_t>(kFileReadable | kFileCovered));
  EXPECT_DOUBLE_EQ(e.block_percent, 40.0);
  EXPECT_EQ(model.totals.covered_files, 1);
  EXPECT_EQ(model.totals.blocks, 5);
  EXPECT_DOUBLE_EQ(model.totals.last_block_percent, 40.0);
  EXPECT_EQ(sink.log, "begin " + a + "\n"
                      "fn f line=2 freq=5 blocks=3 covered=2 [ 2:1=5 3:3=0 4:1=2 ]\n"
                      "fn g line=7 freq=0 blocks=2 covered=0 [ ]\n"
                      "end\n");
}

TEST_F(ComputeFile, PartialPositionsAndNoPartial) {
  std::string b = source("b.c", 4);
  open(program({{b, {routine("h", 2, 3, {{2, 1, 0}, {2, 1, 4}, {3, 1, 0}})}}}));
  compute();
  EXPECT_EQ(entry().covered_blocks, 1u);
  EXPECT_EQ(state(2), 4);
  settings.no_partial = true;
  compute();
  EXPECT_EQ(entry().covered_blocks, 2u);  // both blocks at 2,1 count as covered
  EXPECT_EQ(at(2, 1).uncovered, 0u);
  EXPECT_EQ(at(3, 1).uncovered, 1u);     // a position with nothing covered stays
}

// Infeasible lines stay in the position table but leave the totals; a
// routine that starts on a marked line is left out entirely, one inside a
// marked region is listed with no blocks.
TEST_F(ComputeFile, InfeasibleLinesLeaveTheTotalsButNotTheTable) {
  std::string c = source_text("c.c",
                              "int f() {\n"        // 1
                              "  a();\n"           // 2
                              "  b(); // SKIP\n"   // 3
                              "}\n"                // 4
                              "int g() { // SKIP\n"// 5: marks g up to h
                              "  c();\n"           // 6
                              "}\n"                // 7
                              "int h() {\n"        // 8
                              "/* B */\n"          // 9
                              "  x();\n"           // 10
                              "/* E */\n"          // 11
                              "}\n");              // 12
  markers.one_line = {"SKIP"};
  markers.begin = {"B"};
  markers.end = {"E"};
  open(program({{c, {routine("f", 1, 4, {{1, 1, 1}, {2, 3, 1}, {3, 3, 1}}),
                     routine("g", 5, 7, {{5, 1, 3}, {6, 3, 3}}), routine("h", 8, 12, {{10, 3, 7}})}}}));
  compute();
  EXPECT_EQ(model.scanner.infeasible_lines(), (std::set<uint32_t>{3, 5, 6, 7, 9, 10, 11}));
  EXPECT_EQ(at(3, 3).count, 1u);   // still in the table
  EXPECT_EQ(at(10, 3).count, 7u);
  EXPECT_EQ(at(5, 1).blocks, 0u);  // only f's end mark: g is left out entirely
  EXPECT_FALSE(has(6, 3));
  EXPECT_EQ(covered_names(), "f(2/2) ");
  EXPECT_EQ(uncovered_names(), "h(0/0) ");
  EXPECT_EQ(std::make_tuple(entry().functions, entry().blocks, entry().covered_blocks),
            std::make_tuple(2u, 2u, 2u));
  EXPECT_NE(sink.log.find("fn f line=1 freq=1 blocks=2 covered=2 [ 1:1=1 2:3=1 ]"),
            std::string::npos) << sink.log;
}

// With -ref: a block that ran in both runs counts 0 and is covered; a block
// new in a routine that ran before is an uncovered block; a routine that
// ran only now is newly covered; a routine that never ran gets no marks.
TEST_F(ComputeFile, DifferentialCoverage) {
  std::string d = source("d.c", 12);
  auto make = [&](uint64_t p1, uint64_t p2, uint64_t q, uint64_t r) {
    return program({{d, {routine("p", 2, 3, {{2, 1, p1}, {3, 1, p2}}),
                         routine("q", 5, 6, {{5, 1, q}, {6, 1, q}}), routine("r", 8, 9, {{8, 1, r}})}}});
  };
  pw::Program now = make(3, 2, 4, 0);
  pw::Program ref = make(1, 0, 0, 0);
  open(now, &ref);
  ASSERT_TRUE(compute());
  EXPECT_EQ(at(2, 1).count, 0u);
  EXPECT_EQ(state(2), 3);
  EXPECT_EQ(state(3), 5);
  EXPECT_EQ(state(5), 6);
  EXPECT_TRUE(at(5, 1).is_new);
  EXPECT_FALSE(has(8, 1));
  EXPECT_FALSE(has(10, 1));
  EXPECT_EQ(covered_names(), "p(1/2) ");
  EXPECT_EQ(uncovered_names(), "q(2/2) ");
  EXPECT_FALSE(model.components.entries[0].newly_covered);
  EXPECT_TRUE(model.components.entries[1].newly_covered);
  EXPECT_EQ(std::make_tuple(entry().functions, entry().covered_functions), std::make_tuple(3u, 2u));
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable | kFileCovered));
}

// A file with nothing new is not written; one where every routine is new
// goes to the uncovered list.
TEST_F(ComputeFile, DifferentialFileFlags) {
  std::string d = source("d.c", 4);
  pw::Program ran = program({{d, {routine("p", 2, 3, {{2, 1, 3}})}}});
  pw::Program idle = program({{d, {routine("p", 2, 3, {{2, 1, 0}})}}});
  open(ran, &ran);
  EXPECT_FALSE(compute());
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable));
  EXPECT_EQ(model.totals.covered_files, 0);
  close();
  open(ran, &idle);
  EXPECT_TRUE(compute());
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable | kFileUncovered));
}

// -txtlcov: lines come from the line maps; an infeasible line shared by two
// blocks is left out once; no last-block marks.
TEST_F(ComputeFile, LineCoverageCountsEachInfeasibleLineOnce) {
  std::string e = source_text("e.c", "f1\nf2\nf3\nf4 // X\nf5\nf6\n\ng8\ng9\n");
  markers.one_line = {"X"};
  open(program({{e, {routine("f", 1, 6, {{1, 1, 2, {1, 2}}, {3, 1, 0, {3, 4}}, {5, 1, 1, {4, 5}}}),
                     routine("g", 8, 9, {{8, 1, 0, {8, 9}}})}}}));
  compute(0, true);
  const std::vector<const FunctionInfo*> covered = model.functions.covered();
  ASSERT_EQ(covered.size(), 1u);
  EXPECT_EQ(std::make_tuple(covered[0]->lines, covered[0]->covered_lines), std::make_tuple(4u, 3u));
  EXPECT_EQ(model.functions.uncovered()[0]->lines, 2u);
  EXPECT_EQ(std::make_tuple(entry().lines, entry().covered_lines), std::make_tuple(6u, 3u));
  EXPECT_DOUBLE_EQ(entry().line_percent, 50.0);
  std::optional<LineInfo> four = model.files.line_query(4);
  ASSERT_TRUE(four);
  EXPECT_EQ(std::make_tuple(four->blocks, four->max_count), std::make_tuple(2u, uint64_t{1}));
  EXPECT_EQ(model.files.line_query(8)->blocks, 1u);
  EXPECT_FALSE(has(7, 1));
}

TEST_F(ComputeFile, WarningsForMissingPositionsAndLineMaps) {
  std::string v = source("v.c", 6);
  pw::Routine flat = routine("v", 4, 5, {{0, 0, 1}, {0, 0, 0}});
  flat.position_mode = 0;
  open(program({{v, {flat}}}));
  auto c = capture([&] { compute(); });
  EXPECT_EQ(c.err, "No line number info for " + v +
                       ": recompile with -Qprof_genx (instead of -Qprof_gen).\n"
                       "...Assigning all exec counts to line 1 column 1.\n");
  EXPECT_EQ(at(4, 1).blocks, 2u);  // counted at the start line
  EXPECT_EQ(at(4, 1).count, 1u);

  close();
  pw::Routine no_maps = routine("f", 1, 3, {{2, 4, 3}});
  no_maps.write_line_maps = false;
  open(program({{v, {no_maps}}}));
  c = capture([&] { compute(0, true); });
  EXPECT_EQ(c.err, "Warning: Source line information not available in .spi file for " + v + "\n");
  EXPECT_EQ(at(2, 4).count, 3u);
  EXPECT_EQ(entry().lines, 0u);
}

TEST_F(ComputeFile, MissingSourceSkipsTheFile) {
  std::string gone = dir.file("gone.c");
  open(program({{gone, {routine("f", 1, 2, {{1, 1, 1}})}}}));
  auto c = capture([&] { EXPECT_FALSE(compute()); });
  EXPECT_EQ(c.out, "\nWarning - File " + gone + " not found!\n");
  EXPECT_EQ(model.totals.files, 0);
  EXPECT_EQ(model.files.entries()[0].flags, 0u);
  EXPECT_EQ(sink.log, "begin " + gone + "\nend\n");  // the lists stay well formed
}

TEST_F(ComputeFile, UnwindHandlersGetClonesUnlessNoUnwind) {
  std::string u = source("u.c", 5);
  pw::Routine r = routine("u", 1, 4, {{2, 1, 3}, {3, 1, 0, {}, true}});
  r.position_mode = 3;
  open(program({{u, {r}}}));
  compute();
  EXPECT_EQ(at(3, 1).count, 3u);  // the clone carries block 0's count
  EXPECT_EQ(at(3, 1).blocks, 2u);
  EXPECT_EQ(covered_names(), "u(2/3) ");
  settings.no_unwind = true;
  compute();
  EXPECT_FALSE(has(3, 1));
  EXPECT_EQ(covered_names(), "u(1/1) ");
}

TEST_F(ComputeFile, MultipleDefinitionsMatchByBlockCount) {
  std::string m = source("m.c", 6);
  settings.multiple_definitions = true;
  open(program({{m, {routine("dup", 2, 4, {{2, 1, 1}, {3, 1, 1}}),
                     routine("dup", 2, 4, {{2, 1, 10}, {3, 1, 10}, {4, 1, 10}})}}}));
  ASSERT_EQ(model.components.entries.size(), 2u);
  compute();
  EXPECT_EQ(at(2, 1).count, 11u);
  EXPECT_EQ(at(4, 1).count, 10u);
  EXPECT_EQ(std::make_tuple(entry().blocks, entry().covered_blocks), std::make_tuple(5u, 5u));
}

}  // namespace
}  // namespace vorel
