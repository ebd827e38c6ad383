#include "report/call_graph.h"

#include <gtest/gtest.h>

#include <cmath>

#include "driver/diag.h"
#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {
namespace {

spi_routine make_routine(const std::string& module, const std::string& file,
                         const std::string& name, char linkage, uint32_t blocks) {
  spi_routine r;
  r.info.module_name = module;
  r.info.file_name = file;
  r.info.routine_name = name;
  r.info.linkage = linkage;
  r.info.block_count = blocks;
  return r;
}

void add_call(spi_routine& r, const std::string& callee, uint32_t block, uint32_t line,
              bool callee_static = false) {
  spi_call_site site;
  site.callee = callee;
  site.block_index = block;
  site.line = line;
  site.flags = callee_static ? 1 : 0;
  r.call_sites.push_back(site);
}

dpi_routine make_record(const std::string& name, std::vector<uint64_t> counts) {
  dpi_routine d;
  d.func_name = name;
  d.block_cnt = static_cast<uint32_t>(counts.size());
  for (uint64_t c : counts) d.blocks.push_back(dpi_block{c, 0, 0, 0, 0, 0});
  d.entries.push_back(dpi_entry_point{name, 0, 0});
  return d;
}

TEST(CallGraphBuild, EdgesComeNewestFirstAndSkipIndirectSites) {
  CallGraph g;
  spi_routine main_r = make_routine("m0.obj", "a.c", "main", 'E', 4);
  add_call(main_r, "f", 1, 10);
  add_call(main_r, "(indirect)", 2, 11);
  add_call(main_r, "g", 3, 12, /*callee_static=*/true);
  add_call(main_r, "f", 3, 13);
  dpi_routine rec = make_record("main", {8, 6, 2, 4});
  rec.func_number = 7;
  cg_add_routine(g, main_r, &rec, 2);

  const CgNode* node = g.find("m0.obj", "main", false);
  ASSERT_NE(node, nullptr);
  EXPECT_TRUE(node->executed);
  EXPECT_EQ(node->value, 7);
  EXPECT_FLOAT_EQ(node->frequency, 4.0f);
  ASSERT_EQ(node->edges.size(), 3u);
  EXPECT_EQ(node->edges[0].callee->name, "f");
  EXPECT_EQ(node->edges[0].value, 13);
  EXPECT_FLOAT_EQ(node->edges[0].count, 2.0f);
  EXPECT_EQ(node->edges[1].callee, g.find("m0.obj", "g", true));
  EXPECT_FLOAT_EQ(node->edges[1].count, 2.0f);
  EXPECT_EQ(node->edges[2].value, 10);
  EXPECT_FLOAT_EQ(node->edges[2].count, 3.0f);
  // Two calls of f are two edges to one node.
  EXPECT_EQ(node->edges[0].callee, node->edges[2].callee);
  EXPECT_EQ(g.node_count(), 3u);
}

TEST(CallGraphBuild, StaticNodesAreKeyedByModuleExternalOnesByName) {
  CallGraph g;
  spi_routine a = make_routine("m0.obj", "a.c", "helper", 'S', 1);
  add_call(a, "lib", 0, 5);
  spi_routine b = make_routine("m1.obj", "b.c", "helper", 'S', 1);
  add_call(b, "lib", 0, 6);
  cg_add_routine(g, a, nullptr, 1);
  cg_add_routine(g, b, nullptr, 1);
  const CgNode* ha = g.find("m0.obj", "helper", true);
  const CgNode* hb = g.find("m1.obj", "helper", true);
  ASSERT_NE(ha, nullptr);
  ASSERT_NE(hb, nullptr);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(ha->edges[0].callee, hb->edges[0].callee);
  EXPECT_EQ(g.find("anything", "lib", false), ha->edges[0].callee);
  EXPECT_EQ(cg_node_key("m0.obj", "helper", true), "m0.obj helper");
  EXPECT_EQ(cg_node_key("m0.obj", "lib", false), "lib");
}

TEST(CallGraphBuild, WithoutRecordNothingRanAndCountsAreZero) {
  CallGraph g;
  spi_routine r = make_routine("m", "a.c", "idle", 'E', 2);
  add_call(r, "f", 1, 3);
  cg_add_routine(g, r, nullptr, 1);
  const CgNode* node = g.find("m", "idle", false);
  EXPECT_FALSE(node->executed);
  EXPECT_FLOAT_EQ(node->frequency, 0.0f);
  EXPECT_FLOAT_EQ(node->edges[0].count, 0.0f);

  // A record whose blocks never ran is not executed either.
  CallGraph h;
  dpi_routine zero = make_record("idle", {0, 0});
  cg_add_routine(h, r, &zero, 1);
  EXPECT_FALSE(h.find("m", "idle", false)->executed);
}

TEST(CallGraphBuild, FrequencyComesFromTheEntryNamedLikeTheRoutine) {
  CallGraph g;
  spi_routine r = make_routine("m", "a.c", "f", 'E', 3);
  dpi_routine rec = make_record("f", {100, 30, 9});
  rec.entries = {dpi_entry_point{"f_alt", 0, 0}, dpi_entry_point{"f", 2, 0}};
  cg_add_routine(g, r, &rec, 2);
  EXPECT_FLOAT_EQ(g.find("m", "f", false)->frequency, 4.5f);
}

TEST(CallGraphBuild, CallSiteOutsideTheRecordIsAnAssertion) {
  CallGraph g;
  spi_routine r = make_routine("m", "a.c", "f", 'E', 2);
  add_call(r, "g", 2, 3);
  dpi_routine rec = make_record("f", {1, 1});
  testing::internal::CaptureStderr();
  EXPECT_THROW(cg_add_routine(g, r, &rec, 1), FatalExit);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "../dev/shared/zentra/kelvet:1416 ASSERTX(i < dpi->block_cnt)\n");
}

TEST(CallGraphBuild, ModuleOfARecordFollowsTheStaticDefinition) {
  CallGraph g;
  cg_add_routine(g, make_routine("one.obj", "x.c", "dup", 'S', 2), nullptr, 1);
  cg_add_routine(g, make_routine("two.obj", "x.c", "dup", 'E', 3), nullptr, 1);
  dpi_toc_entry entry;
  entry.file_name = "x.c";
  entry.func_name = "dup";
  entry.flags = 1;
  dpi_routine three = make_record("dup", {0, 0, 0});
  dpi_routine five = make_record("dup", {0, 0, 0, 0, 0});
  bool is_static = true;
  EXPECT_EQ(call_graph_module(g, entry, three, &is_static), "two.obj");
  EXPECT_FALSE(is_static);
  EXPECT_EQ(call_graph_module(g, entry, five, &is_static), "one.obj");
  EXPECT_TRUE(is_static);
  entry.func_name = "dynamic_only";
  entry.flags = 0;
  EXPECT_EQ(call_graph_module(g, entry, five, &is_static), "x.c");
  EXPECT_TRUE(is_static);
}

TEST(CallGraphBuild, TruncationIsSafeForAnyFloat) {
  EXPECT_EQ(cg_truncate(4.5), 4u);
  EXPECT_EQ(cg_truncate(0.5), 0u);
  EXPECT_EQ(cg_truncate(-3.0), 0u);
  EXPECT_EQ(cg_truncate(std::nan("")), 0u);
  EXPECT_EQ(cg_truncate(1e30), UINT64_MAX);
  EXPECT_EQ(cg_truncate(static_cast<float>(UINT64_MAX)), UINT64_MAX);
}

}  // namespace
}  // namespace vorel
