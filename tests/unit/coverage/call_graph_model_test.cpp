// Building the call graph from static call sites and dynamic counts: what
// the hand-checked tests/e2e/expected/lists/call_graph.txt does not show.
#include "coverage/call_graph_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {
namespace {

// A routine with call sites {callee, block, line, flags (1: static callee)}.
SpiRoutine make_routine(const std::string& module, const std::string& name, char linkage,
                         uint32_t blocks, std::vector<SpiCallSite> calls = {}) {
  SpiRoutine r;
  r.info.module_name = module;
  r.info.file_name = "x.c";
  r.info.routine_name = name;
  r.info.linkage = linkage;
  r.info.block_count = blocks;
  r.call_sites = std::move(calls);
  return r;
}

DpiRoutine make_record(const std::string& name, std::vector<uint64_t> counts) {
  DpiRoutine d;
  d.func_name = name;
  d.block_cnt = static_cast<uint32_t>(counts.size());
  for (uint64_t c : counts) d.blocks.push_back(DpiBlock{c, 0, 0, 0, 0, 0});
  d.entries.push_back(DpiEntryPoint{name, 0, 0});
  return d;
}

// Without a record, or with one whose blocks never ran, nothing ran; the
// frequency comes from the entry named like the routine. (A call site
// outside the record is pinned end to end.)
TEST(CallGraphBuild, ExecutionFrequency) {
  SpiRoutine idle = make_routine("m", "idle", 'E', 2, {{"f", 1, 3, 0}});
  CallGraph g, h, k;
  cg_add_routine(g, idle, nullptr, 1);
  EXPECT_FALSE(g.find("m", "idle", false)->executed);
  EXPECT_EQ(g.find("m", "idle", false)->edges.front().count, 0.0f);
  DpiRoutine zero = make_record("idle", {0, 0});
  cg_add_routine(h, idle, &zero, 1);
  EXPECT_FALSE(h.find("m", "idle", false)->executed);
  DpiRoutine rec = make_record("f", {100, 30, 9});
  rec.entries = {DpiEntryPoint{"f_alt", 0, 0}, DpiEntryPoint{"f", 2, 0}};
  cg_add_routine(k, make_routine("m", "f", 'E', 3), &rec, 2);
  EXPECT_FLOAT_EQ(k.find("m", "f", false)->frequency, 4.5f);
}

// With several definitions the record's block count picks the static one.
TEST(CallGraphBuild, ModuleOfARecordFollowsTheStaticDefinition) {
  CallGraph g;
  cg_add_routine(g, make_routine("one.obj", "dup", 'S', 2), nullptr, 1);
  cg_add_routine(g, make_routine("two.obj", "dup", 'E', 3), nullptr, 1);
  DpiIndexEntry entry;
  entry.file_name = "x.c";
  entry.func_name = "dup";
  entry.flags = 1;
  bool is_static = true;
  EXPECT_EQ(call_graph_module(g, entry, make_record("dup", {0, 0, 0}), &is_static), "two.obj");
  EXPECT_FALSE(is_static);
  EXPECT_EQ(call_graph_module(g, entry, make_record("dup", {0, 0, 0, 0, 0}), &is_static), "one.obj");
  EXPECT_TRUE(is_static);
  entry.func_name = "dynamic_only";
  entry.flags = 0;
  EXPECT_EQ(call_graph_module(g, entry, make_record("x", {0}), &is_static), "x.c");
  EXPECT_TRUE(is_static);
}

TEST(CallGraphBuild, TruncationIsSafeForAnyFloat) {
  const std::pair<double, uint64_t> cases[] = {
      {4.5, 4}, {-3.0, 0}, {std::nan(""), 0}, {1e30, UINT64_MAX}, {static_cast<float>(UINT64_MAX), UINT64_MAX}};
  for (const auto& [v, t] : cases) EXPECT_EQ(cg_truncate(v), t) << v;
}

}  // namespace
}  // namespace vorel
