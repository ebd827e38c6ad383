#include "report/routine_blocks.h"

#include <algorithm>
#include <set>
#include <utility>

#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {

namespace {

constexpr uint64_t kHasPositions = 0x10;

uint64_t add_saturated(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

}  // namespace

void order_block_list(std::vector<BlockDetail>& list) {
  std::reverse(list.begin(), list.end());
  std::stable_sort(list.begin(), list.end(), [](const BlockDetail& a, const BlockDetail& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
}

RoutineBlocks blocks_of_record(const dpi_routine& record, uint32_t start_line,
                               uint32_t counted_blocks, BlockRules rules) {
  RoutineBlocks out;
  for (const dpi_entry_point& entry : record.entries)
    if (entry.block_index < record.block_cnt && entry.block_index < record.blocks.size())
      out.frequency = add_saturated(out.frequency, record.blocks[entry.block_index].count);

  const bool positioned = (record.flags & kHasPositions) != 0;
  uint32_t ignored = 0;
  std::set<std::pair<uint32_t, uint32_t>> covered_positions;
  const uint32_t n = std::min<uint32_t>(record.block_cnt, static_cast<uint32_t>(record.blocks.size()));
  for (uint32_t i = 0; i < n; ++i) {
    const dpi_block& b = record.blocks[i];
    if (b.count != 0) out.executed = true;
    uint32_t line = positioned ? b.start_line : start_line;
    uint32_t column = positioned ? b.start_col : 1;
    if (line == 0 || column == 0 || (rules.no_unwind && b.extra != 0)) {
      ++ignored;
      continue;
    }
    BlockDetail instance{line, column, static_cast<double>(b.count)};
    if (b.count != 0) {
      ++out.covered;
      covered_positions.insert({instance.line, instance.column});
    }
    out.block_list.push_back(instance);
  }
  if (rules.no_partial) {
    out.covered = 0;
    for (const BlockDetail& b : out.block_list)
      if (covered_positions.count({b.line, b.column})) ++out.covered;
  }
  out.blocks = std::max(record.block_cnt, counted_blocks) - ignored;
  order_block_list(out.block_list);
  return out;
}

RoutineBlocks blocks_not_executed(const dpi_routine* record,
                                  const std::vector<spi_line_map>& line_maps,
                                  uint32_t counted_blocks) {
  RoutineBlocks out;
  out.blocks = counted_blocks;
  if (record) {
    for (const dpi_block& b : record->blocks)
      if (b.start_line != 0 && b.start_col != 0)
        out.block_list.push_back(BlockDetail{b.start_line, b.start_col, 0.0});
  } else {
    for (const spi_line_map& map : line_maps)
      if (!map.entries.empty() && map.entries.front() != 0)
        out.block_list.push_back(BlockDetail{map.entries.front(), 1, 0.0});
  }
  order_block_list(out.block_list);
  return out;
}

}  // namespace vorel
