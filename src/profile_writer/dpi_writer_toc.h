// The table-of-contents segment of a segmented dynamic profile file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "profile_writer/program.h"

namespace profile_writer {

// Segment payload positions and lengths of one routine, in the slot order
// 0xDEEF, 0xDA5E, 0xDC6A, 0xD1F0, 0xFEEF (0: absent).
struct RoutineSegments {
  uint64_t pos[5] = {};
  uint64_t len[5] = {};
};

// The whole 0xD70C segment (tag, length, payload) placed at `toc_pos`, for
// the routines in file order with their source files and segments. Its size
// does not depend on the positions.
std::string dpi_toc_segment(const Program& program, const std::vector<const SourceFile*>& files,
                            const std::vector<const Routine*>& routines,
                            const std::vector<RoutineSegments>& segs, uint64_t toc_pos);

}  // namespace profile_writer
