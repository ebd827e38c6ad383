#include "coverage/line_map.h"

#include "coverage/component.h"
#include "base/diag.h"

namespace vorel {

std::optional<RoutineLineMap> load_line_map(const Component& c) {
  static constexpr const char* kNoLines =
      "Warning: Source line information not available in .spi file for %s\n";
  if (c.line_maps.empty()) {
    print_err(kNoLines, c.file_name.data());
    return std::nullopt;
  }
  RoutineLineMap map;
  for (const BlockLineMap& m : c.line_maps) {
    std::set<uint32_t>& lines = map.by_block[m.block_index];
    for (uint32_t line : m.entries) {
      lines.insert(line);
      map.all_lines.insert(line);
    }
  }
  if (map.all_lines.empty() && c.counted_blocks > 0) {
    print_err(kNoLines, c.readable_name ? c.readable_name->data() : c.proc_name.data());
    return std::nullopt;
  }
  return map;
}

}  // namespace vorel
