#include "driver/name_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "capture.h"

namespace vorel {
namespace {

// The buffer starts at 4096 bytes and grows to the next power of two
// strictly above the request; every requested byte is writable.
TEST(NameBuffer, GrowsToTheNextPowerOfTwoStrictlyAbove) {
  name_buffer_release();
  const std::pair<size_t, size_t> steps[] = {{10, 4096}, {4096, 4096}, {4097, 8192}, {16384, 32768}, {10, 32768}};
  for (const auto& [request, capacity] : steps) {
    std::memset(name_buffer_request(request), 'y', request);
    EXPECT_EQ(name_buffer_capacity(), capacity) << request;
  }
  name_buffer_release();
  auto c = test_support::capture([] { name_buffer_request(~static_cast<size_t>(0)); });
  EXPECT_EQ(c.status, 1);
  EXPECT_EQ(c.out.rfind("ERROR: out of memory! requested size = ", 0), 0u) << c.out;
  name_buffer_release();
}

}  // namespace
}  // namespace vorel
