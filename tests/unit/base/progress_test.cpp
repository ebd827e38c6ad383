#include "base/progress.h"

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

// A step of total/10 ticks rounded half up (none below five entries, so
// every tick prints); the first print carries "Progress: ", percentages
// round half up and the last tick prints 100%.
TEST(ProgressMeter, Steps) {
  const struct {
    int total, ticks;
    const char* out;
  } cases[] = {
      {20, 20, "Progress: 10% .. 20% .. 30% .. 40% .. 50% .. 60% .. 70% .. 80% .. 90% .. 100%"},
      {20, 1, ""},
      {20, 2, "Progress: 10% .. "},
      {20, 3, "Progress: 10% .. "},
      {15, 14, "Progress: 13% .. 27% .. 40% .. 53% .. 67% .. 80% .. 93% .. "},
      {15, 15, "Progress: 13% .. 27% .. 40% .. 53% .. 67% .. 80% .. 93% .. 100%"},
      {4, 4, "25% .. 50% .. 75% .. 100%"},
      {1, 1, "100%"},
      {0, 3, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(meter(c.total, c.ticks), c.out) << c.total << "/" << c.ticks;
  meter(20, 7);
  EXPECT_EQ(meter(4, 1), "25% .. ") << "a restart resets the count";
}

}  // namespace
}  // namespace vorel
