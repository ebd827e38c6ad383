// The line map of a routine for line coverage: per block index, the source
// lines that the block covers, and all distinct lines of the routine.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>

namespace vorel {

struct Component;

struct RoutineLineMap {
  std::map<uint32_t, std::set<uint32_t>> by_block;  // block index -> lines
  std::set<uint32_t> all_lines;
};

// Loads the component's line maps. A routine without line maps, or with
// only empty ones although it has counted blocks, gets the warning "Warning:
// Source line information not available in .spi file for %s\n" (with the
// file name, or with the readable name) and nullopt: block mode is used.
std::optional<RoutineLineMap> load_line_map(const Component& c);

}  // namespace vorel
