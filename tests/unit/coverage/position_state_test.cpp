#include "coverage/position_state.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

constexpr uint64_t kOnes = kNeverExecuted;

TEST(PositionState, OutsideDifferentialMode) {
  // (count, new, blocks, covered, last block) -> state
  EXPECT_EQ(position_state(false, 0, false, 0, 0, true), 2);      // bare end mark: unknown
  EXPECT_EQ(position_state(false, 0, false, 1, 0, true), 5);      // a block here too
  EXPECT_EQ(position_state(false, 0, false, 2, 0, false), 5);
  EXPECT_EQ(position_state(false, 7, false, 2, 2, false), 3);
  EXPECT_EQ(position_state(false, 7, false, 3, 2, false), 4);
  EXPECT_EQ(position_state(false, kOnes, false, 1, 1, false), 6);
  EXPECT_EQ(position_state(false, 5, false, 2, 2, true), 3);      // mark on covered code
}

TEST(PositionState, DifferentialMode) {
  EXPECT_EQ(position_state(true, 0, true, 1, 0, false), 3);
  EXPECT_EQ(position_state(true, 0, false, 0, 0, true), 3);       // end marks are plain here
  EXPECT_EQ(position_state(true, 4, false, 1, 1, false), 5);      // new in a routine that ran before
  EXPECT_EQ(position_state(true, 4, true, 1, 1, false), 6);       // a newly covered routine
  EXPECT_EQ(position_state(true, kOnes, false, 1, 1, false), 6);
}

}  // namespace
}  // namespace vorel
