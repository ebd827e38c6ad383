// Branch outcomes in the profile files (docs/FORMATS.md, "Branch outcomes").
// An importer that knows a line's branch arcs stores each arc as an extra
// block of the routine that owns the line: its dynamic count is the arc's
// count, its dynamic position is line 0 (so the block coverage computation
// passes it over), and its static line map is a kind-5 record without
// entries whose first-entry word holds the source line and whose kept value
// is the tag below. The routine record's value B counts these blocks, so
// they stay out of every block figure.
#pragma once

#include <cstdint>

namespace vorel {

inline constexpr uint32_t kBranchTagMask = 0xFF000000u;
inline constexpr uint32_t kBranchTag = 0xB7000000u;
// The arc's line never ran where the arc was recorded: lcov writes its
// count as "-" rather than 0.
inline constexpr uint32_t kBranchNotRun = 0x00800000u;
// The line's arcs come in pairs, the true and the false outcome of one
// condition (llvm-cov's branch regions): lcov's block number is the pair's,
// the arc number / 2. Without it the block number is 0 (gcov's arcs).
inline constexpr uint32_t kBranchPaired = 0x00400000u;
inline constexpr uint32_t kBranchNumberMask = 0x003FFFFFu;
inline constexpr uint32_t kMaxBranchNumber = kBranchNumberMask;

// The kept value of branch arc `number` (at most kMaxBranchNumber).
constexpr uint32_t branch_kept_value(uint32_t number, bool not_run, bool paired = false) {
  return kBranchTag | (not_run ? kBranchNotRun : 0u) | (paired ? kBranchPaired : 0u) | (number & kBranchNumberMask);
}

// lcov's block number of the arc a kept value describes.
constexpr uint32_t branch_block(uint32_t kept_value) {
  return kept_value & kBranchPaired ? (kept_value & kBranchNumberMask) / 2 : 0;
}

// A line map is a branch arc when it has no entries and carries the tag.
constexpr bool is_branch_map(uint32_t entry_count, uint32_t kept_value) {
  return entry_count == 0 && (kept_value & kBranchTagMask) == kBranchTag;
}

}  // namespace vorel
