#include "coverage/function_table.h"

#include <gtest/gtest.h>


namespace vorel {
namespace {

FunctionAdd routine(const std::string& name, uint32_t line, uint32_t covered, bool ambiguous = false,
                    bool newly = false) {
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

// Names in list order; "*" marks a routine added under another proc name.
std::string names(const std::vector<const FunctionInfo*>& list) {
  std::string out;
  for (const FunctionInfo* f : list) out += f->readable_name + (f->proc_name.size() > 4 ? "*" : "") + " ";
  return out;
}

// Ambiguous routines: an uncovered one is entered once per line; a covered
// one replaces its uncovered twin, whose hole takes the list's first entry.
TEST(FunctionTables, AmbiguousRoutinesAreEnteredOnce) {
  FunctionTables t;
  t.open(8);
  t.add(routine("f", 5, 0, true), false);
  t.add(routine("f", 5, 0, true), false);  // same line and name: already listed
  t.add(routine("f", 6, 0, true), false);  // another line: a routine of its own
  EXPECT_EQ(t.seen_count(), 2u);
  for (const char* name : {"x", "y", "z"}) t.add(routine(name, 1, 0, true), false);
  ASSERT_EQ(names(t.uncovered()), "z y x f f ");
  FunctionAdd covered_x = routine("x", 1, 2, true);
  covered_x.proc_name = "_x_other";
  t.add(covered_x, false);
  EXPECT_EQ(names(t.uncovered()), "y z f f ");
  EXPECT_EQ(names(t.covered()), "x* ");
  t.add(routine("x", 1, 3, true), false);  // already covered: not added again
  t.add(routine("x", 1, 0, true), false);
  EXPECT_EQ(t.covered_count() + t.uncovered_count(), 5u);
}

TEST(FunctionTables, DifferentialPlacement) {
  FunctionTables t;
  t.open(4);
  t.add(routine("new", 1, 2, false, true), true);   // newly covered: uncovered list
  t.add(routine("old", 2, 1, false, false), true);  // covered, ran before too
  t.add(routine("idle", 3, 0, false, false), true); // neither: not stored
  t.add(routine("old", 2, 1, true, true), true);    // ambiguous, already listed
  EXPECT_EQ(names(t.covered()) + "| " + names(t.uncovered()), "old | new ");
  EXPECT_EQ(t.seen_count(), 3u);
}

}  // namespace
}  // namespace vorel
