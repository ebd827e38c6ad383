// The coverage state of a source position, which is also its colour index.
#pragma once

#include <cstdint>

namespace vorel {

// Position states, which are also the indices of the report's colour table.
enum ColorIndex : int {
  kColorNotFeasible = 1,
  kColorUnknown = 2,
  kColorCovered = 3,
  kColorPartial = 4,
  kColorUncoveredBlock = 5,
  kColorUncoveredFunction = 6,
  kColorInformation = 7,
};

// The all-ones count: the position belongs to a routine that never executed.
inline constexpr uint64_t kNeverExecuted = ~static_cast<uint64_t>(0);

// State 2 unknown, 3 covered, 4 partially covered, 5 uncovered block,
// 6 uncovered function (state 1, not feasible, is decided by the caller from
// the infeasible-line set). `differential` selects the rules of -ref.
int position_state(bool differential, uint64_t count, bool is_new, uint32_t blocks,
                   uint32_t covered, bool last_block);

}  // namespace vorel
