#include "coverage/function_table.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

FunctionAdd routine(const std::string& name, uint32_t line, uint32_t covered,
                    bool ambiguous = false, bool newly = false) {
  FunctionAdd r;
  r.readable_name = name;
  r.proc_name = "_" + name;
  r.start_line = line;
  r.blocks = 4;
  r.covered_blocks = covered;
  r.ambiguous = ambiguous;
  r.newly_covered = newly;
  return r;
}

std::string names(const std::vector<const FunctionInfo*>& list) {
  std::string out;
  for (const FunctionInfo* f : list) out += f->readable_name + (f->proc_name.size() > 4 ? "*" : "") + " ";
  return out;
}

TEST(FunctionTables, CoveredReadInAdditionOrderUncoveredInReverse) {
  FunctionTables t;
  t.open(4);
  t.add(routine("a", 1, 1), false);
  t.add(routine("b", 2, 0), false);
  t.add(routine("c", 3, 4), false);
  t.add(routine("d", 4, 0), false);
  EXPECT_EQ(names(t.covered()), "a c ");
  EXPECT_EQ(names(t.uncovered()), "d b ");
  EXPECT_EQ(t.seen_count(), 4u);
  EXPECT_DOUBLE_EQ(t.covered()[0]->block_percent, 25.0);
  EXPECT_DOUBLE_EQ(t.covered()[1]->block_percent, 100.0);
}

TEST(FunctionTables, AmbiguousUncoveredRoutinesAreEnteredOnce) {
  FunctionTables t;
  t.open(3);
  t.add(routine("f", 5, 0, true), false);
  t.add(routine("f", 5, 0, true), false);  // same line and name: already listed
  t.add(routine("f", 6, 0, true), false);  // another line: a routine of its own
  EXPECT_EQ(names(t.uncovered()), "f f ");
  EXPECT_EQ(t.seen_count(), 2u);
  t.add(routine("g", 7, 1), false);
  t.add(routine("g", 7, 0, true), false);  // already in the covered list
  EXPECT_EQ(t.uncovered_count(), 2u);
}

TEST(FunctionTables, ACoveredAmbiguousRoutineReplacesItsUncoveredTwin) {
  FunctionTables t;
  t.open(4);
  t.add(routine("x", 1, 0, true), false);
  t.add(routine("y", 2, 0, true), false);
  t.add(routine("z", 3, 0, true), false);
  ASSERT_EQ(names(t.uncovered()), "z y x ");
  // x leaves the uncovered list; its first entry (z) moves into the hole.
  FunctionAdd covered_x = routine("x", 1, 2, true);
  covered_x.proc_name = "_x_other";
  t.add(covered_x, false);
  EXPECT_EQ(names(t.uncovered()), "y z ");
  EXPECT_EQ(names(t.covered()), "x* ");
  t.add(routine("x", 1, 3, true), false);  // already covered: not added again
  EXPECT_EQ(t.covered_count(), 1u);
}

TEST(FunctionTables, DifferentialPlacement) {
  FunctionTables t;
  t.open(4);
  t.add(routine("new", 1, 2, false, true), true);   // newly covered: back
  t.add(routine("old", 2, 1, false, false), true);  // covered, ran before too: front
  t.add(routine("idle", 3, 0, false, false), true); // neither: not stored
  EXPECT_EQ(names(t.uncovered()), "new ");
  EXPECT_EQ(names(t.covered()), "old ");
  EXPECT_EQ(t.seen_count(), 3u);
  // An ambiguous newly covered routine already listed is not added again.
  t.add(routine("old", 2, 1, true, true), true);
  EXPECT_EQ(t.uncovered_count(), 1u);
}

TEST(FunctionTables, AFullTableIsReportedAndStillWorks) {
  FunctionTables t;
  t.open(1);
  t.add(routine("a", 1, 1), false);
  testing::internal::CaptureStdout();
  t.add(routine("b", 2, 0), false);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("ERROR: corrupt function table. cvrd = ", 0), 0u) << out;
  EXPECT_NE(out.find(" (1), uncvrd = "), std::string::npos) << out;
  EXPECT_EQ(out.substr(out.size() - 4), "(0)\n");
  EXPECT_EQ(names(t.uncovered()), "b ");
}

}  // namespace
}  // namespace vorel
