// Test helper: runs a callable that is expected to take the fatal exit and
// returns its status (-1 when it returned normally).
#pragma once

#include <functional>

#include "driver/diag.h"

namespace vorel::testing_support {

inline int fatal_status(const std::function<void()>& body) {
  try {
    body();
  } catch (const FatalExit& e) {
    return e.status;
  }
  return -1;
}

}  // namespace vorel::testing_support
