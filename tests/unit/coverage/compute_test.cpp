#include "coverage/compute.h"

#include <gtest/gtest.h>

#include "compute_fixture.h"
#include "coverage/position_state.h"
#include "driver/diag.h"

namespace vorel {
namespace {

using namespace testing_support;

class ComputeFile : public ComputeFixture {};

TEST_F(ComputeFile, ExecutedAndNeverExecutedRoutines) {
  std::string a = source("a.c", 10);
  open(program({{a, {routine("f", 2, 5, {block(2, 1, 5), block(3, 3, 0), block(4, 1, 2)}),
                     routine("g", 7, 9, {block(7, 1, 0), block(8, 3, 0)})}}}));
  ASSERT_TRUE(compute());

  EXPECT_EQ(at(2, 1).count, 5u);
  EXPECT_EQ(at(3, 3).uncovered, 1u);
  EXPECT_EQ(at(4, 1).count, 2u);
  EXPECT_TRUE(at(6, 1).last_block);    // the line after f's end
  EXPECT_EQ(at(6, 1).blocks, 0u);
  EXPECT_EQ(at(7, 1).count, kNeverExecuted);  // g's start only
  EXPECT_FALSE(has(8, 3));
  EXPECT_TRUE(at(10, 1).last_block);

  EXPECT_EQ(covered_names(), "f(2/3) ");
  EXPECT_EQ(uncovered_names(), "g(0/2) ");
  const FileEntry& e = entry();
  EXPECT_EQ(e.functions, 2u);
  EXPECT_EQ(e.covered_functions, 1u);
  EXPECT_EQ(e.blocks, 5u);
  EXPECT_EQ(e.covered_blocks, 2u);
  EXPECT_EQ(e.flags, static_cast<uint32_t>(kFileReadable | kFileCovered));
  EXPECT_DOUBLE_EQ(e.function_percent, 50.0);
  EXPECT_DOUBLE_EQ(e.block_percent, 40.0);
  EXPECT_EQ(e.lines, 0u);
  EXPECT_EQ(model.totals.files, 1);
  EXPECT_EQ(model.totals.covered_files, 1);
  EXPECT_EQ(model.totals.blocks, 5);
  EXPECT_DOUBLE_EQ(model.totals.last_block_percent, 40.0);

  EXPECT_EQ(sink.log, "begin " + a + "\n"
                      "fn f line=2 freq=5 blocks=3 covered=2 [ 2:1=5 3:3=0 4:1=2 ]\n"
                      "fn g line=7 freq=0 blocks=2 covered=0 [ ]\n"
                      "end\n");
}

TEST_F(ComputeFile, DetailsOrderByPositionLaterEqualFirst) {
  std::string a = source("a.c", 6);
  open(program({{a, {routine("f", 1, 5, {block(3, 1, 1), block(2, 4, 2), block(3, 1, 3),
                                         block(2, 1, 4)})}}}));
  compute();
  EXPECT_NE(sink.log.find("[ 2:1=4 2:4=2 3:1=3 3:1=1 ]"), std::string::npos) << sink.log;
}

TEST_F(ComputeFile, PartialPositionsAndNoPartial) {
  std::string b = source("b.c", 4);
  pw::Program p = program({{b, {routine("h", 2, 3, {block(2, 1, 0), block(2, 1, 4),
                                                    block(3, 1, 0)})}}});
  open(p);
  compute();
  EXPECT_EQ(entry().covered_blocks, 1u);
  PositionRecord r = at(2, 1);
  EXPECT_EQ(position_state(false, r.count, r.is_new, r.blocks, r.covered, r.last_block), 4);

  settings.no_partial = true;
  compute();
  EXPECT_EQ(entry().covered_blocks, 2u);  // both blocks at 2,1 count as covered
  EXPECT_EQ(at(2, 1).uncovered, 0u);
  EXPECT_EQ(at(3, 1).uncovered, 1u);     // a position with nothing covered stays
}

TEST_F(ComputeFile, InfeasibleLinesLeaveTheTotalsButNotTheTable) {
  std::string c = source_text("c.c",
                              "int f() {\n"        // 1
                              "  a();\n"           // 2
                              "  b(); // SKIP\n"   // 3
                              "}\n"                // 4
                              "int g() { // SKIP\n"// 5: marks g to the end
                              "  c();\n"           // 6
                              "}\n");              // 7
  markers.one_line = {"SKIP"};
  open(program({{c, {routine("f", 1, 4, {block(1, 1, 1), block(2, 3, 1), block(3, 3, 1)}),
                     routine("g", 5, 7, {block(5, 1, 3), block(6, 3, 3)})}}}));
  compute();
  EXPECT_EQ(model.scanner.infeasible_lines(), (std::set<uint32_t>{3, 5, 6, 7}));
  EXPECT_EQ(at(3, 3).count, 1u);  // still in the table
  EXPECT_EQ(at(5, 1).blocks, 0u);  // only f's end mark: g is left out entirely
  EXPECT_FALSE(has(6, 3));
  EXPECT_EQ(covered_names(), "f(2/2) ");
  EXPECT_EQ(uncovered_names(), "");
  EXPECT_EQ(entry().functions, 1u);
  EXPECT_EQ(entry().blocks, 2u);
  EXPECT_EQ(entry().covered_blocks, 2u);
  EXPECT_NE(sink.log.find("fn f line=1 freq=1 blocks=2 covered=2 [ 1:1=1 2:3=1 ]"),
            std::string::npos) << sink.log;
}

TEST_F(ComputeFile, RoutineEntirelyInsideAnInfeasibleRegion) {
  std::string c = source_text("c.c", "int f() {\n/* B */\n  a();\n/* E */\n}\n");
  markers.begin = {"B"};
  markers.end = {"E"};
  open(program({{c, {routine("f", 1, 5, {block(3, 3, 7)})}}}));
  compute();
  EXPECT_EQ(at(3, 3).count, 7u);
  EXPECT_EQ(entry().blocks, 0u);
  EXPECT_EQ(entry().covered_blocks, 0u);
  EXPECT_EQ(covered_names(), "");
  EXPECT_EQ(uncovered_names(), "f(0/0) ");
}

TEST_F(ComputeFile, DifferentialCoverage) {
  std::string d = source("d.c", 12);
  auto make = [&](uint64_t p1, uint64_t p2, uint64_t q, uint64_t r) {
    return program({{d, {routine("p", 2, 3, {block(2, 1, p1), block(3, 1, p2)}),
                         routine("q", 5, 6, {block(5, 1, q), block(6, 1, q)}),
                         routine("r", 8, 9, {block(8, 1, r)})}}});
  };
  pw::Program now = make(3, 2, 4, 0);
  pw::Program ref = make(1, 0, 0, 0);
  open(now, &ref);
  ASSERT_TRUE(compute());

  auto state = [&](uint32_t line) {
    PositionRecord r = at(line, 1);
    return position_state(true, r.count, r.is_new, r.blocks, r.covered, r.last_block);
  };
  EXPECT_EQ(at(2, 1).count, 0u);  // ran in both: counts 0
  EXPECT_EQ(state(2), 3);
  EXPECT_EQ(state(3), 5);         // new block in a routine that ran before
  EXPECT_EQ(state(5), 6);         // newly covered routine
  EXPECT_TRUE(at(5, 1).is_new);
  EXPECT_FALSE(has(8, 1));        // r never ran: no marks at all
  EXPECT_FALSE(has(10, 1));
  EXPECT_EQ(covered_names(), "p(1/2) ");
  EXPECT_EQ(uncovered_names(), "q(2/2) ");
  EXPECT_FALSE(model.components.entries[0].newly_covered);
  EXPECT_TRUE(model.components.entries[1].newly_covered);
  EXPECT_EQ(entry().functions, 3u);
  EXPECT_EQ(entry().covered_functions, 2u);
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable | kFileCovered));
}

TEST_F(ComputeFile, DifferentialFileWithNothingNewIsNotWritten) {
  std::string d = source("d.c", 4);
  pw::Program p = program({{d, {routine("p", 2, 3, {block(2, 1, 3)})}}});
  open(p, &p);
  EXPECT_FALSE(compute());
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable));
  EXPECT_EQ(model.totals.covered_files, 0);
}

TEST_F(ComputeFile, DifferentialFileWhereEveryRoutineIsNew) {
  std::string d = source("d.c", 4);
  pw::Program now = program({{d, {routine("p", 2, 3, {block(2, 1, 3)})}}});
  pw::Program ref = program({{d, {routine("p", 2, 3, {block(2, 1, 0)})}}});
  open(now, &ref);
  EXPECT_TRUE(compute());
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable | kFileUncovered));
}

TEST_F(ComputeFile, LineCoverageCountsEachInfeasibleLineOnce) {
  std::string e = source_text("e.c", "f1\nf2\nf3\nf4 // X\nf5\nf6\n\ng8\ng9\n");
  markers.one_line = {"X"};
  open(program({{e, {routine("f", 1, 6, {block(1, 1, 2, {1, 2}), block(3, 1, 0, {3, 4}),
                                         block(5, 1, 1, {4, 5})}),
                     routine("g", 8, 9, {block(8, 1, 0, {8, 9})})}}}));
  compute(0, true);
  // f: lines 1-5 without the infeasible line 4 (shared by two blocks).
  const std::vector<const FunctionInfo*> covered = model.functions.covered();
  ASSERT_EQ(covered.size(), 1u);
  EXPECT_EQ(covered[0]->lines, 4u);
  EXPECT_EQ(covered[0]->covered_lines, 3u);
  EXPECT_EQ(model.functions.uncovered()[0]->lines, 2u);
  EXPECT_EQ(entry().lines, 6u);
  EXPECT_EQ(entry().covered_lines, 3u);
  EXPECT_DOUBLE_EQ(entry().line_percent, 50.0);

  std::optional<LineInfo> four = model.files.line_query(4);
  ASSERT_TRUE(four);
  EXPECT_EQ(four->blocks, 2u);
  EXPECT_EQ(four->max_count, 1u);
  EXPECT_EQ(model.files.line_query(8)->max_count, 0u);
  EXPECT_EQ(model.files.line_query(8)->blocks, 1u);
  EXPECT_FALSE(has(7, 1));  // no last-block marks in line-coverage mode
}

TEST_F(ComputeFile, LineCoverageWithoutLineMapsFallsBackToBlocks) {
  std::string e = source("e.c", 4);
  pw::Routine r = routine("f", 1, 3, {block(2, 4, 3)});
  r.write_line_maps = false;
  open(program({{e, {r}}}));
  testing::internal::CaptureStderr();
  compute(0, true);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Warning: Source line information not available in .spi file for " + e + "\n");
  EXPECT_EQ(at(2, 4).count, 3u);
  EXPECT_EQ(entry().lines, 0u);
}

TEST_F(ComputeFile, MissingSourceSkipsTheFile) {
  std::string gone = dir.file("gone.c");
  open(program({{gone, {routine("f", 1, 2, {block(1, 1, 1)})}}}));
  testing::internal::CaptureStdout();
  EXPECT_FALSE(compute());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\nWarning - File " + gone + " not found!\n");
  EXPECT_EQ(model.totals.files, 0);
  EXPECT_EQ(model.files.entries().size(), 1u);
  EXPECT_EQ(model.files.entries()[0].flags, 0u);
  EXPECT_EQ(sink.log, "begin " + gone + "\nend\n");  // the lists stay well formed
}

TEST_F(ComputeFile, TraceBits) {
  std::string a = source("a.c", 6);
  open(program({{a, {routine("f", 1, 2, {block(1, 1, 1)}), routine("g", 3, 4, {block(3, 1, 0)})}}}));
  set_trace_mask(kTraceMarkBlocks | kTraceRoutines);
  testing::internal::CaptureStderr();
  compute();
  std::string err = testing::internal::GetCapturedStderr();
  set_trace_mask(0);
  EXPECT_EQ(err, "Begin markBlocks for file: " + a + "\n"
                 "Function: f. Executed = t\n"
                 "Function: g. Executed = f\n"
                 "End markBlocks for file:   " + a + "\n");
}

TEST_F(ComputeFile, UnwindHandlersGetClonesUnlessNoUnwind) {
  std::string u = source("u.c", 5);
  pw::Routine r = routine("u", 1, 4, {block(2, 1, 3), block(3, 1, 0, {}, true)});
  r.position_mode = 3;
  open(program({{u, {r}}}));
  compute();
  EXPECT_EQ(at(3, 1).count, 3u);  // the clone carries block 0's count
  EXPECT_EQ(at(3, 1).blocks, 2u);
  EXPECT_EQ(covered_names(), "u(2/3) ");
  EXPECT_EQ(entry().blocks, 3u);

  settings.no_unwind = true;
  compute();
  EXPECT_FALSE(has(3, 1));
  EXPECT_EQ(covered_names(), "u(1/1) ");
  EXPECT_EQ(entry().blocks, 1u);
}

TEST_F(ComputeFile, RoutineWithoutPositionsIsCountedAtItsStartLine) {
  std::string v = source("v.c", 6);
  pw::Routine r = routine("v", 4, 5, {block(0, 0, 1), block(0, 0, 0)});
  r.position_mode = 0;
  open(program({{v, {r}}}));
  testing::internal::CaptureStderr();
  compute();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "No line number info for " + v +
                ": recompile with -Qprof_genx (instead of -Qprof_gen).\n"
                "...Assigning all exec counts to line 1 column 1.\n");
  EXPECT_EQ(at(4, 1).blocks, 2u);
  EXPECT_EQ(at(4, 1).count, 1u);
}

TEST_F(ComputeFile, MultipleDefinitionsMatchByBlockCount) {
  std::string m = source("m.c", 6);
  settings.multiple_definitions = true;
  open(program({{m, {routine("dup", 2, 4, {block(2, 1, 1), block(3, 1, 1)}),
                     routine("dup", 2, 4, {block(2, 1, 10), block(3, 1, 10), block(4, 1, 10)})}}}));
  ASSERT_EQ(model.components.entries.size(), 2u);
  compute();
  EXPECT_EQ(at(2, 1).count, 11u);
  EXPECT_EQ(at(4, 1).count, 10u);
  EXPECT_EQ(entry().blocks, 5u);
  EXPECT_EQ(entry().covered_blocks, 5u);
}

TEST_F(ComputeFile, IncludeNonExecListsTheBlocksOfRoutinesThatDidNotRun) {
  std::string a = source("a.c", 8);
  pw::Routine absent = routine("absent", 5, 6, {block(5, 1, 0, {5}), block(6, 1, 0, {6, 7})});
  absent.in_dpi = false;
  settings.include_nonexec = true;
  open(program({{a, {routine("idle", 1, 3, {block(1, 2, 0), block(2, 3, 0)}), absent}}}));
  compute();
  EXPECT_NE(sink.log.find("fn idle line=1 freq=0 blocks=2 covered=0 [ 1:2=0 2:3=0 ]"),
            std::string::npos) << sink.log;
  EXPECT_NE(sink.log.find("fn absent line=5 freq=0 blocks=2 covered=0 [ 5:1=0 6:1=0 ]"),
            std::string::npos) << sink.log;
}

}  // namespace
}  // namespace vorel
