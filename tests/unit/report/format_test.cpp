#include "report/format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

namespace vorel {
namespace {

TEST(GroupDigits, GroupsOfThreeFromTheRight) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "0"}, {999, "999"}, {1000, "1,000"}, {100000, "100,000"}, {1234567, "1,234,567"},
      {UINT64_MAX, "18,446,744,073,709,551,615"}};
  for (const auto& [v, text] : cases) EXPECT_EQ(group_digits(v), text);
  const std::pair<int64_t, const char*> signed_cases[] = {
      {-999, "-999"}, {-1000, "-1,000"}, {1234567, "1,234,567"},
      {std::numeric_limits<int64_t>::min(), "-9,223,372,036,854,775,808"}};
  for (const auto& [v, text] : signed_cases) EXPECT_EQ(group_digits_signed(v), text);
}

// part x 100 / whole (0 when whole is 0), printed "%6.2f" after rounding
// half up: 0.125 shows 0.13, where printf alone gives 0.12.
TEST(Percentage, RoundsHalfUpToHundredths) {
  const std::pair<double, const char*> cases[] = {
      {percentage(1, 800), "  0.13"}, {percentage(2, 3), " 66.67"}, {percentage(5, 0), "  0.00"},
      {percentage(5, 5), "100.00"},   {0.124999, "  0.12"},         {-0.125, " -0.13"}};
  for (const auto& [v, text] : cases) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%6.2f", round_hundredths(v));
    EXPECT_EQ(std::string(buf), text) << v;
  }
}

}  // namespace
}  // namespace vorel
