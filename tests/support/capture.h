// Runs a piece of the product that may take the fatal exit and keeps what it
// printed: the status of the stop (none when it returned) and both streams.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/diag.h"

namespace test_support {

struct Captured {
  std::optional<int> status;  // set when the code ended the run
  std::string err, out;
};

template <typename F>
Captured capture(F&& body) {
  Captured c;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  try {
    body();
  } catch (const vorel::FatalExit& e) {
    c.status = e.status;
  }
  c.err = testing::internal::GetCapturedStderr();
  c.out = testing::internal::GetCapturedStdout();
  return c;
}

}  // namespace test_support
