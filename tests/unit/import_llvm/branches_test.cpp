// Branch regions become paired arcs numbered per line as llvm-cov's lcov export numbers them.
#include <gtest/gtest.h>

#include "import_llvm/program_builder.h"
#include "profile/branch_tag.h"

using namespace import_llvm;

TEST(LlvmBranches, PairsNumberedPerLineAsLlvmCovNumbersThem) {
  // Line 3: a condition at 3:30 (5, 1); a macro's at 1:20 (never ran) and a nested macro's at 2:7 (2, 3).
  LlvmExport e;
  e.functions.push_back(LlvmFunction{
      "main", 1, {"/p/a.c", "/p/a.h", "/p/a.h"},
      {LlvmRegion{2, 1, 4, 2, 1, 0, 0, RegionKind::kCode}, LlvmRegion{3, 10, 3, 20, 1, 0, 1, RegionKind::kExpansion},
       LlvmRegion{1, 3, 1, 9, 1, 1, 2, RegionKind::kExpansion}},
      {LlvmBranch{1, 20, 1, 24, 0, 0, 1}, LlvmBranch{3, 30, 3, 38, 5, 1, 0}, LlvmBranch{2, 7, 2, 9, 2, 3, 2}}});
  ProgramBuilder b;
  std::string error;
  const FileRules rules{[](const std::string&) { return true; }, nullptr};
  ASSERT_TRUE(b.add(e, "1.json", rules, &error) && b.add(e, "2.json", rules, &error)) << error;
  ImportSummary s;
  const profile_writer::Program p = b.finish(1, &s);
  const profile_writer::Routine& r = p.modules.at(0).files.at(0).routines.at(0);
  ASSERT_EQ(r.blocks.size() - r.extra_blocks, 1u);  // the body, then six arcs
  for (uint32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(std::vector<uint64_t>({r.blocks[1 + i].map_first, r.blocks[1 + i].count, r.blocks[1 + i].map_value}),
              std::vector<uint64_t>({3, std::vector<uint64_t>{4, 6, 0, 0, 10, 2}[i], vorel::branch_kept_value(i, i / 2 == 1, true)}));
    EXPECT_EQ(vorel::branch_block(r.blocks[1 + i].map_value), i / 2);
  }
}
