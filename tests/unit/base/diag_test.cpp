// Diagnostics that no end-to-end run reaches. The catalog lines, banners and
// traces are pinned by the end-to-end tests.
#include "base/diag.h"

#include <gtest/gtest.h>

#include "capture.h"

namespace vorel {
namespace {

using test_support::capture;

TEST(Diag, InternalErrorAndAllocationFailureEndTheRun) {
  set_program_name(nullptr);
  auto a = capture([] { internal_error("null name in %s", "base_name"); });
  set_program_name("/bin/vorelcov");
  auto b = capture([] { internal_error("x"); });
  set_program_name(nullptr);
  auto c = capture([] { allocation_failed(18446744073709551615ull, "Components SPI"); });
  EXPECT_EQ(a.status, 1);
  EXPECT_EQ(b.status, 1);
  EXPECT_EQ(c.status, 1);
  EXPECT_EQ(a.err + b.err + c.err,
            "INTERNAL ERROR: null name in base_name\n/bin/vorelcov: INTERNAL ERROR: x\n"
            "ERROR: unable to allocate 18446744073709551615 bytes of memory for Components SPI\n");
}

}  // namespace
}  // namespace vorel
