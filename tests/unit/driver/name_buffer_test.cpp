#include "driver/name_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fatal.h"

namespace vorel {
namespace {

using testing_support::fatal_status;

class NameBuffer : public ::testing::Test {
 protected:
  void SetUp() override { name_buffer_release(); }
  void TearDown() override { name_buffer_release(); }
};

TEST_F(NameBuffer, FirstRequestOfTheInitialCapacityAllocatesIt) {
  char* a = name_buffer_request(4096);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(name_buffer_capacity(), 4096u);
  std::memset(a, 'x', 4096);  // the whole capacity is usable
  EXPECT_EQ(name_buffer_request(10), a);  // fits: the same buffer
}

TEST_F(NameBuffer, GrowsToTheNextPowerOfTwoStrictlyAbove) {
  name_buffer_request(4096);
  char* b = name_buffer_request(4097);
  EXPECT_EQ(name_buffer_capacity(), 8192u);
  std::memset(b, 'y', 8192);
  name_buffer_request(8192);
  EXPECT_EQ(name_buffer_capacity(), 8192u);  // fits exactly
  name_buffer_request(8193);
  EXPECT_EQ(name_buffer_capacity(), 16384u);
}

TEST_F(NameBuffer, ExactPowerOfTwoAboveTheCapacityDoublesPastIt) {
  name_buffer_request(8192);
  EXPECT_EQ(name_buffer_capacity(), 16384u);
}

TEST_F(NameBuffer, ImpossibleSizeEndsTheRunOnStdout) {
  testing::internal::CaptureStdout();
  int status = fatal_status([] { name_buffer_request(~static_cast<size_t>(0)); });
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(status, 1);
  EXPECT_EQ(out.rfind("ERROR: out of memory! requested size = ", 0), 0u) << out;
}

}  // namespace
}  // namespace vorel
