#include "coverage/unwind.h"

#include <gtest/gtest.h>

#include "driver/diag.h"
#include "profile/dpi.h"

namespace vorel {
namespace {

struct B {
  uint32_t line, column;
  uint64_t count;
  bool handler;
};

dpi_routine routine(const std::vector<B>& blocks, uint64_t flags = 0x80000 | 0x10) {
  dpi_routine r;
  r.flags = flags;
  r.block_cnt = static_cast<uint32_t>(blocks.size());
  for (const B& b : blocks) {
    dpi_block d;
    d.start_line = b.line;
    d.start_col = b.column;
    d.count = b.count;
    d.extra = b.handler ? 1 : 0;
    r.blocks.push_back(d);
  }
  return r;
}

// "line,column=count" of the blocks from `from` on.
std::string clones(const dpi_routine& r, size_t from) {
  std::string out;
  for (size_t i = from; i < r.blocks.size(); ++i) {
    const dpi_block& b = r.blocks[i];
    out += std::to_string(b.start_line) + "," + std::to_string(b.start_col) + "=" +
           std::to_string(b.count) + (b.extra ? "h" : "") + " ";
  }
  return out;
}

class UnwindTest : public ::testing::Test {
 protected:
  void SetUp() override { set_trace_mask(kTraceUnwind); testing::internal::CaptureStderr(); }
  void TearDown() override { set_trace_mask(0); }
  std::string trace_text() { return testing::internal::GetCapturedStderr(); }
};

TEST_F(UnwindTest, HandlerAtTheSamePositionAsItsBlockNeedsNoClone) {
  dpi_routine r = routine({{10, 5, 7, false}, {10, 5, 0, true}});
  unwind_clone_pass(r);
  EXPECT_EQ(r.block_cnt, 2u);
  EXPECT_EQ(trace_text(),
            "No clones needed. Code block has same position as unwind handler: 10, 5\n");
}

TEST_F(UnwindTest, EveryOrdinaryBlockAtThePrecedingPositionGivesAClone) {
  dpi_routine r = routine({{10, 5, 3, false}, {10, 5, 4, false}, {12, 1, 0, true},
                           {9, 1, 100, false}});
  unwind_clone_pass(r);
  ASSERT_EQ(r.block_cnt, 6u);
  ASSERT_EQ(r.blocks.size(), 6u);
  EXPECT_EQ(clones(r, 4), "12,1=3 12,1=4 ");  // in block order of the sources
  EXPECT_EQ(trace_text(), "Will create 2 clone blocks for unwind handler @ 12,1\n");
}

TEST_F(UnwindTest, HandlerWithoutPredecessorIsSkipped) {
  dpi_routine r = routine({{5, 1, 0, true}, {9, 1, 2, false}});
  unwind_clone_pass(r);
  EXPECT_EQ(r.block_cnt, 2u);
  EXPECT_EQ(trace_text(),
            "Cannot process unwind block at 5,1. No predecessor block for an unwind handler.\n");
}

TEST_F(UnwindTest, HandlersStepBackOverHandlersAndCountOncePerPosition) {
  dpi_routine r = routine({{1, 1, 1, false}, {2, 1, 2, false}, {3, 1, 0, true},
                           {3, 1, 0, true}, {4, 1, 0, true}});
  unwind_clone_pass(r);
  // Both handler positions take the count of the block at 2,1 (not 1,1).
  EXPECT_EQ(clones(r, 5), "3,1=2 4,1=2 ");
  trace_text();
}

TEST_F(UnwindTest, HandlerWithoutPositionActsAsAnOrdinaryBlock) {
  dpi_routine r = routine({{0, 0, 6, true}, {3, 2, 0, true}});
  unwind_clone_pass(r);
  EXPECT_EQ(clones(r, 2), "3,2=6 ");
  trace_text();
}

TEST_F(UnwindTest, OnlyPositionModeThreeIsTouched) {
  dpi_routine r = routine({{1, 1, 5, false}, {2, 1, 0, true}}, 0x20000 | 0x10);
  unwind_clone_pass(r);
  EXPECT_EQ(r.block_cnt, 2u);
  dpi_routine none = routine({{1, 1, 5, false}, {2, 1, 0, false}});
  unwind_clone_pass(none);
  EXPECT_EQ(none.block_cnt, 2u);
  EXPECT_EQ(trace_text(), "");
}

TEST(UnwindTrace, SilentWithoutTheTraceBit) {
  set_trace_mask(0);
  dpi_routine r = routine({{5, 1, 0, true}, {6, 1, 1, false}, {7, 1, 0, true}});
  testing::internal::CaptureStderr();
  unwind_clone_pass(r);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(clones(r, 3), "7,1=1 ");
}

}  // namespace
}  // namespace vorel
