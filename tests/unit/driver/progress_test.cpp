#include "driver/progress.h"

#include <gtest/gtest.h>

#include <string>

namespace vorel {
namespace {

// Output of the meter for `total` entries and `ticks` ticks.
std::string meter(int total, int ticks) {
  testing::internal::CaptureStdout();
  progress_start(total);
  for (int i = 0; i < ticks; ++i) progress_tick();
  return testing::internal::GetCapturedStdout();
}

TEST(ProgressMeter, TwentyEntriesPrintEveryTenPerCent) {
  EXPECT_EQ(meter(20, 20),
            "Progress: 10% .. 20% .. 30% .. 40% .. 50% .. 60% .. 70% .. 80% .. 90% .. 100%");
}

TEST(ProgressMeter, TwentyEntriesPrintAtEvenTicksOnly) {
  EXPECT_EQ(meter(20, 1), "");
  EXPECT_EQ(meter(20, 2), "Progress: 10% .. ");
  EXPECT_EQ(meter(20, 3), "Progress: 10% .. ");
}

TEST(ProgressMeter, FifteenEntriesRoundHalfUpAndEndOnTheTotal) {
  EXPECT_EQ(meter(15, 14), "Progress: 13% .. 27% .. 40% .. 53% .. 67% .. 80% .. 93% .. ");
  EXPECT_EQ(meter(15, 15), "Progress: 13% .. 27% .. 40% .. 53% .. 67% .. 80% .. 93% .. 100%");
}

TEST(ProgressMeter, FourEntriesPrintEveryTickWithoutPrefix) {
  EXPECT_EQ(meter(4, 4), "25% .. 50% .. 75% .. 100%");
}

TEST(ProgressMeter, OneEntryPrintsOnlyTheHundred) { EXPECT_EQ(meter(1, 1), "100%"); }

TEST(ProgressMeter, NoEntriesPrintNothing) { EXPECT_EQ(meter(0, 3), ""); }

TEST(ProgressMeter, RestartResetsTheCount) {
  meter(20, 7);
  EXPECT_EQ(meter(4, 1), "25% .. ");
}

}  // namespace
}  // namespace vorel
