#include "coverage/routine_figures.h"

#include <algorithm>
#include <set>
#include <utility>

#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {

RoutineBlocks blocks_of_record(const DpiRoutine& record, uint32_t start_line,
                               uint32_t counted_blocks, BlockRules rules) {
  RoutineBlocks out;
  out.frequency = entry_frequency(record);
  uint32_t ignored = 0;
  std::set<std::pair<uint32_t, uint32_t>> covered_positions;
  const uint32_t n = visited_blocks(record);
  for (uint32_t i = 0; i < n; ++i) {
    const uint64_t count = record.blocks[i].count;
    if (count != 0) out.executed = true;
    const BlockSite site = block_site(record, i, start_line, rules.no_unwind);
    if (site.left_out) {
      ++ignored;
      continue;
    }
    if (count != 0) {
      ++out.covered;
      covered_positions.insert({site.line, site.column});
    }
    out.block_list.push_back(BlockDetail{site.line, site.column, static_cast<double>(count)});
  }
  // Without a position table the rule applies within the routine.
  if (rules.no_partial) {
    out.covered = 0;
    for (const BlockDetail& b : out.block_list)
      if (covered_positions.count({b.line, b.column})) ++out.covered;
  }
  out.blocks = std::max(dpi_block_cnt_get(record), counted_blocks) - ignored;
  order_block_list(out.block_list);
  return out;
}

RoutineBlocks blocks_not_executed(const DpiRoutine* record,
                                  std::span<const BlockLineMap> line_maps,
                                  uint32_t counted_blocks) {
  RoutineBlocks out;
  out.blocks = counted_blocks;
  out.block_list = never_run_blocks(record, line_maps);
  order_block_list(out.block_list);
  return out;
}

}  // namespace vorel
