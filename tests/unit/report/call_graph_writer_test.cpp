// The call-graph text (expected/call_graph_writer.txt, worked out from the
// records below): the cases the hand-checked
// tests/e2e/expected/lists/call_graph.txt does not show (four targets at one
// site, targets of routines without a node, zero counts).
#include "report/call_graph_writer.h"

#include <gtest/gtest.h>

#include <map>

#include "e2e/harness.h"
#include "mem_stream.h"
#include "profile/dpi.h"
#include "coverage/call_graph_model.h"

namespace vorel {
namespace {

DpiRoutine record(const std::string& name, uint32_t blocks) {
  DpiRoutine d;
  d.func_name = name;
  d.block_cnt = blocks;
  d.blocks.resize(blocks);
  return d;
}

DpiValueSite site(uint64_t block, std::vector<DpiValueTarget> targets) {
  DpiValueSite s;
  s.block_index = block;
  for (size_t i = 0; i < targets.size() && i < 4; ++i) s.targets[i] = targets[i];
  return s;
}

DpiValueTarget indirect(uint64_t address, float count) { return DpiValueTarget{address, 0, count}; }
DpiValueTarget virt(uint64_t address, float count) { return DpiValueTarget{address, 1, count}; }

TEST(CallGraphWriter, WritesSectionsCallsAndStatistics) {
  CgNode f_node{.key = "f", .name = "f", .records = {}, .edges = {}};
  CgNode main_node{.key = "main", .name = "main", .executed = true, .value = 1, .frequency = 5.0f, .records = {}, .edges = {}};
  main_node.edges.push_front(CgEdge{&f_node, 12, 3.5f});
  CgNode idle;  // has a node but never ran

  DpiRoutine main_r = record("main", 4);
  main_r.vp_sites = {site(1, {indirect(0x100, 9), indirect(0x100, 0), indirect(0x100, 7)}),
                     site(2, {indirect(0x100, 0)}),
                     site(3, {virt(0x200, 8), indirect(0x999, 3)})};
  DpiRoutine g_r = record("g", 1);
  g_r.vp_sites = {site(0, {indirect(0x100, 2), indirect(0x100, 2), indirect(0x100, 2),
                           indirect(0x100, 2)})};

  const std::map<uint64_t, std::string_view> names = {{0x100, "tgt"}, {0x200, "vt"}};
  MemStream out;
  CallGraphWriter w(out.get(), false, 2, [&](uint64_t address) {
    auto it = names.find(address);
    return it == names.end() ? nullptr : &it->second;
  });
  w.function("m0", main_r, &main_node);
  w.function("m0", record("f", 1), nullptr);
  w.function("m1", g_r, &idle);
  w.function("m0", record("h", 1), &idle);
  w.finish();
  EXPECT_EQ(out.text(), e2e::read_file(e2e::source_dir() + "/tests/unit/expected/call_graph_writer.txt")
                            .value_or("<missing>"));
}

}  // namespace
}  // namespace vorel
