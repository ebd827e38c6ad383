#include "coverage/block_rules.h"

#include <algorithm>

#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {

namespace {

constexpr uint64_t kHasPositions = 0x10;

uint64_t add_saturated(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

}  // namespace

bool routine_executed(const DpiRoutine* record) {
  if (!record) return false;
  for (const DpiBlock& b : record->blocks)
    if (b.count != 0) return true;
  return false;
}

bool record_has_positions(const DpiRoutine& record) { return (record.flags & kHasPositions) != 0; }

uint32_t visited_blocks(const DpiRoutine& record) {
  return std::min<uint32_t>(dpi_block_cnt_get(record), static_cast<uint32_t>(record.blocks.size()));
}

BlockSite block_site(const DpiRoutine& record, uint32_t i, uint32_t start_line, bool no_unwind) {
  const DpiBlock& b = record.blocks[i];
  BlockSite site;
  const bool positioned = record_has_positions(record);
  site.line = positioned ? b.start_line : start_line;
  site.column = positioned ? b.start_col : 1;
  site.handler = b.extra != 0;
  site.left_out = site.line == 0 || site.column == 0 || (no_unwind && site.handler);
  return site;
}

uint64_t entry_frequency(const DpiRoutine& record) {
  const uint32_t n = visited_blocks(record);
  uint64_t sum = 0;
  for (const DpiEntryPoint& e : record.entries)
    if (e.block_index < n) sum = add_saturated(sum, record.blocks[e.block_index].count);
  return sum;
}

std::vector<BlockDetail> never_run_blocks(const DpiRoutine* record,
                                          std::span<const BlockLineMap> line_maps) {
  std::vector<BlockDetail> out;
  if (record) {
    out.reserve(record->blocks.size());
    for (const DpiBlock& b : record->blocks)
      if (b.start_line != 0 && b.start_col != 0) out.push_back({b.start_line, b.start_col, 0.0});
  } else {
    out.reserve(line_maps.size());
    for (const BlockLineMap& m : line_maps)
      if (!m.entries.empty() && m.entries.front() != 0) out.push_back({m.entries.front(), 1, 0.0});
  }
  return out;
}

void order_block_list(std::vector<BlockDetail>& list) {
  std::reverse(list.begin(), list.end());
  std::stable_sort(list.begin(), list.end(), [](const BlockDetail& a, const BlockDetail& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
}

}  // namespace vorel
