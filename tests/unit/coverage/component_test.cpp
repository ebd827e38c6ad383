#include "coverage/component.h"

#include <gtest/gtest.h>


namespace vorel {
namespace {

// The names of the hand-made entries, alive for the whole test program.
NameArena names;

Component comp(const std::string& file, const std::string& proc, uint32_t line,
               std::optional<std::string> readable = std::nullopt, uint32_t counted = 3) {
  Component c;
  c.file_name = names.intern(file);
  c.proc_name = names.intern(proc);
  c.readable_name = names.intern(readable ? *readable : proc);
  c.start_line = line;
  c.counted_blocks = counted;
  return c;
}

std::string describe(const std::vector<Component>& list) {
  std::string out;
  for (const Component& c : list)
    out += std::string(c.file_name) + ":" + std::string(c.proc_name) + "@" + std::to_string(c.start_line) +
           (c.first_in_file ? "^" : "") + (c.ambiguous ? "?" : "") + " ";
  return out;
}

TEST(ComponentList, DedupeMarksAmbiguousAndDropsRepeatedDefinitions) {
  std::vector<Component> list = {
      comp("a.c", "p1", 10, "f"), comp("a.c", "p1", 10, "f"),  // duplicate: dropped
      comp("a.c", "p2", 10, "f"),                              // other proc_name: ambiguous
      comp("a.c", "p3", 11, "f"),                              // other line: kept as is
      comp("b.c", "p1", 10, "f"),                              // other file
      comp("b.c", "q1", 12),     comp("b.c", "q2", 12),        // no readable names: never ambiguous
  };
  list[5].readable_name.reset();
  list[6].readable_name.reset();
  dedupe_components(list, false);
  EXPECT_EQ(describe(list), "a.c:p1@10^? a.c:p2@10? a.c:p3@11 b.c:p1@10^ b.c:q1@12 b.c:q2@12 ");
  // -multiple-definitions keeps a duplicate with another block count.
  std::vector<Component> multiple = {comp("a.c", "p", 10, "f", 3), comp("a.c", "p", 10, "f", 5),
                                     comp("a.c", "p", 10, "f", 5)};
  dedupe_components(multiple, true);
  EXPECT_EQ(describe(multiple), "a.c:p@10^ a.c:p@10 ");
  EXPECT_EQ(multiple[1].counted_blocks, 5u);
}

// Routines at line 0, compiler startup and unwind helpers, and routines
// without a readable name are left out.
TEST(ComponentList, LeftOutRoutinesAndReadableNames) {
  Component missing = comp("a.c", "f", 1);
  missing.readable_name.reset();
  const std::pair<Component, bool> cases[] = {
      {comp("a.c", "f", 1), false}, {comp("a.c", "f", 0), true}, {comp("a.c", "___sti__x", 1), true},
      {comp("a.c", "__$Ux", 1), true}, {comp("a.c", "__sti__x", 1, "class ExecuteOnStartup x"), false},
      {missing, true}};
  for (const auto& [c, left_out] : cases) EXPECT_EQ(is_left_out(c), left_out) << c.proc_name;
  EXPECT_EQ(readable_name("_Z3fooi", true), "foo(int)");
  EXPECT_EQ(readable_name("plain_c_name", true), "plain_c_name");
  EXPECT_EQ(readable_name("__sti___Z3barv", false), "class ExecuteOnStartup bar");
  EXPECT_EQ(readable_name("__sti__init", false), "class ExecuteOnStartup init");
}

// An entry not smaller than the first goes in front of the first later
// entry that is not smaller (t after q, u before p); a routine runs to the
// line before the next start.
TEST(StartLineOrder, ChainAndRoutineExtents) {
  std::vector<Component> group = {comp("a.c", "p", 30), comp("a.c", "q", 10), comp("a.c", "r", 20),
                                  comp("a.c", "s", 40), comp("a.c", "t", 10), comp("a.c", "u", 30)};
  std::string order;
  for (const Component* c : order_by_start_line(group)) order += c->proc_name;
  EXPECT_EQ(order, "qtrups");
  std::vector<Component> g2 = {comp("a.c", "p", 5), comp("a.c", "q", 12), comp("a.c", "r", 12),
                               comp("a.c", "s", 20)};
  std::vector<const Component*> chain = order_by_start_line(g2);
  EXPECT_EQ(routine_start_at(chain, 5).end_line, 11u);
  EXPECT_EQ(routine_start_at(chain, 12).end_line, 12u);  // the next routine starts on the same line
  RoutineStart at20 = routine_start_at(chain, 20);
  EXPECT_TRUE(at20.is_start);
  EXPECT_FALSE(at20.end_line);  // last routine: to the end of the file
  EXPECT_FALSE(routine_start_at(chain, 6).is_start);
}

}  // namespace
}  // namespace vorel
