#include "report/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace vorel {
namespace {

std::string printed(double value) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%6.2f", value);
  return buf;
}

TEST(GroupDigits, GroupsOfThreeFromTheRight) {
  EXPECT_EQ(group_digits(0), "0");
  EXPECT_EQ(group_digits(7), "7");
  EXPECT_EQ(group_digits(999), "999");
  EXPECT_EQ(group_digits(1000), "1,000");
  EXPECT_EQ(group_digits(12345), "12,345");
  EXPECT_EQ(group_digits(99999), "99,999");
  EXPECT_EQ(group_digits(100000), "100,000");
  EXPECT_EQ(group_digits(1234567), "1,234,567");
  EXPECT_EQ(group_digits(UINT64_MAX - 1), "18,446,744,073,709,551,614");
  EXPECT_EQ(group_digits(UINT64_MAX), "18,446,744,073,709,551,615");
}

TEST(GroupDigits, SignedValues) {
  EXPECT_EQ(group_digits_signed(0), "0");
  EXPECT_EQ(group_digits_signed(1234567), "1,234,567");
  EXPECT_EQ(group_digits_signed(-1), "-1");
  EXPECT_EQ(group_digits_signed(-999), "-999");
  EXPECT_EQ(group_digits_signed(-1000), "-1,000");
  EXPECT_EQ(group_digits_signed(-12345), "-12,345");
  EXPECT_EQ(group_digits_signed(std::numeric_limits<int64_t>::max()),
            "9,223,372,036,854,775,807");
  EXPECT_EQ(group_digits_signed(std::numeric_limits<int64_t>::min()),
            "-9,223,372,036,854,775,808");
}

TEST(Percentage, PartOfWholeAndZeroWhole) {
  EXPECT_DOUBLE_EQ(percentage(2, 3), 200.0 / 3.0);
  EXPECT_DOUBLE_EQ(percentage(1, 800), 0.125);
  EXPECT_DOUBLE_EQ(percentage(5, 5), 100.0);
  EXPECT_EQ(percentage(0, 0), 0.0);
  EXPECT_EQ(percentage(5, 0), 0.0);
}

// The printed form is what users see: halves go up, unlike a plain "%6.2f".
TEST(RoundHundredths, HalvesRoundUp) {
  EXPECT_EQ(printed(0.125), "  0.12");  // what rounding by printf alone gives
  EXPECT_EQ(printed(round_hundredths(percentage(1, 800))), "  0.13");
  EXPECT_EQ(printed(round_hundredths(percentage(2, 3))), " 66.67");
  EXPECT_EQ(printed(round_hundredths(percentage(1, 3))), " 33.33");
  EXPECT_EQ(printed(round_hundredths(0.0)), "  0.00");
  EXPECT_EQ(printed(round_hundredths(100.0)), "100.00");
  EXPECT_EQ(printed(round_hundredths(0.124999)), "  0.12");
}

TEST(RoundHundredths, NegativeValuesMirrorPositiveOnes) {
  EXPECT_EQ(printed(round_hundredths(-0.125)), " -0.13");
  EXPECT_EQ(printed(round_hundredths(-66.666)), "-66.67");
}

}  // namespace
}  // namespace vorel
