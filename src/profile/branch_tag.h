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
inline constexpr uint32_t kBranchNumberMask = 0x007FFFFFu;
inline constexpr uint32_t kMaxBranchNumber = kBranchNumberMask;

// The kept value of branch arc `number` (at most kMaxBranchNumber).
constexpr uint32_t branch_kept_value(uint32_t number, bool not_run) {
  return kBranchTag | (not_run ? kBranchNotRun : 0u) | (number & kBranchNumberMask);
}

// A line map is a branch arc when it has no entries and carries the tag.
constexpr bool is_branch_map(uint32_t entry_count, uint32_t kept_value) {
  return entry_count == 0 && (kept_value & kBranchTagMask) == kBranchTag;
}

}  // namespace vorel
