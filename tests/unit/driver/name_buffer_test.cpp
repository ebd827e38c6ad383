#include "driver/name_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "capture.h"

namespace vorel {
namespace {

// The buffer starts at 4096 bytes and grows to the next power of two
// strictly above the request; a request it holds keeps the buffer.
TEST(NameBuffer, GrowsToTheNextPowerOfTwoStrictlyAbove) {
  name_buffer_release();
  char* a = name_buffer_request(4096);
  EXPECT_EQ(name_buffer_capacity(), 4096u);
  std::memset(a, 'x', 4096);
  EXPECT_EQ(name_buffer_request(10), a);
  const std::pair<size_t, size_t> steps[] = {{4097, 8192}, {8192, 8192}, {8193, 16384}};
  for (const auto& [request, capacity] : steps) {
    std::memset(name_buffer_request(request), 'y', request);
    EXPECT_EQ(name_buffer_capacity(), capacity) << request;
  }
  name_buffer_release();
  name_buffer_request(8192);
  EXPECT_EQ(name_buffer_capacity(), 16384u);
  name_buffer_release();
}

TEST(NameBuffer, ImpossibleSizeEndsTheRunOnStdout) {
  auto c = test_support::capture([] { name_buffer_request(~static_cast<size_t>(0)); });
  EXPECT_EQ(c.status, 1);
  EXPECT_EQ(c.out.rfind("ERROR: out of memory! requested size = ", 0), 0u) << c.out;
  name_buffer_release();
}

}  // namespace
}  // namespace vorel
