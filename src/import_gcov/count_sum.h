// The count rules every importer shares: sums stay below UINT64_MAX, which
// the profile readers take as "never executed", and columns are kept at
// the static reader's 16 bits.
#pragma once

#include <cstdint>

namespace import_gcov {

inline constexpr uint32_t kMaxColumn = 0xFFFF;

// Adds `count` to `*total`; false (and `*total` unchanged) when the sum
// would reach UINT64_MAX.
inline bool add_count(uint64_t* total, uint64_t count) {
  constexpr uint64_t kMax = UINT64_MAX - 1;
  if (count > kMax || *total > kMax - count) return false;
  *total += count;
  return true;
}

}  // namespace import_gcov
