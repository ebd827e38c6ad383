// The unwind clone pass: gives exception-unwind handler blocks the counts of
// the ordinary blocks that precede them in source order.
//
// A handler block's own counter does not say whether the code it protects
// ran. For each handler position the pass appends clone blocks at the
// handler's position that carry the counts of the nearest preceding ordinary
// block(s) at one position. Only records in position mode 3 carry handler
// marks; others are left as they are.
#pragma once

#include <cstdint>

namespace vorel {

struct DpiRoutine;

// -trace bit that prints the pass's verbose trace lines.
inline constexpr uint32_t kTraceUnwind = 8;

// Extends `routine` in place with the clone blocks.
void unwind_clone_pass(DpiRoutine& routine);

}  // namespace vorel
