#include "coverage/unwind.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "base/diag.h"
#include "profile/dpi.h"

namespace vorel {

namespace {

struct BlockPos {
  uint32_t line;
  uint32_t column;
  bool handler;  // set only for handlers with a known position
  uint32_t index;

  auto key() const { return std::tie(line, column, handler, index); }
  bool same_position(const BlockPos& o) const { return line == o.line && column == o.column; }
};

// All blocks in position order, ordinary blocks before handlers at one position.
std::vector<BlockPos> blocks_in_position_order(const DpiRoutine& r) {
  std::vector<BlockPos> s;
  s.reserve(r.blocks.size());
  for (uint32_t i = 0; i < r.blocks.size(); ++i) {
    const DpiBlock& b = r.blocks[i];
    bool handler = b.extra != 0 && b.start_line != 0 && b.start_col != 0;
    s.push_back({b.start_line, b.start_col, handler, i});
  }
  std::sort(s.begin(), s.end(),
            [](const BlockPos& a, const BlockPos& b) { return a.key() < b.key(); });
  return s;
}

// The clones (handler position, index of the block whose count they carry)
// for every handler position, found in one pass over the ordered blocks.
std::vector<BlockPos> find_clones(const std::vector<BlockPos>& s) {
  std::vector<BlockPos> clones;
  std::ptrdiff_t last_ordinary = -1;
  for (size_t i = 0; i < s.size(); ++i) {
    const BlockPos& h = s[i];
    if (!h.handler) {
      last_ordinary = static_cast<std::ptrdiff_t>(i);
      continue;
    }
    if (i > 0 && s[i - 1].handler && s[i - 1].same_position(h)) continue;  // counted once
    if (last_ordinary < 0) {
      trace(kTraceUnwind,
            "Cannot process unwind block at %u,%u. No predecessor block for an unwind handler.\n",
            h.line, h.column);
      continue;
    }
    const BlockPos& p = s[last_ordinary];
    if (p.same_position(h)) {
      trace(kTraceUnwind,
            "No clones needed. Code block has same position as unwind handler: %u, %u\n", h.line,
            h.column);
      continue;
    }
    int made = 0;
    for (std::ptrdiff_t j = last_ordinary; j >= 0 && s[j].same_position(p); --j, ++made)
      clones.push_back({h.line, h.column, false, s[j].index});
    trace(kTraceUnwind, "Will create %d clone blocks for unwind handler @ %u,%u\n", made, h.line,
          h.column);
  }
  std::sort(clones.begin(), clones.end(),
            [](const BlockPos& a, const BlockPos& b) { return a.key() < b.key(); });
  return clones;
}

}  // namespace

void unwind_clone_pass(DpiRoutine& routine) {
  if (dpi_position_mode(routine) != 3) return;
  std::vector<BlockPos> clones = find_clones(blocks_in_position_order(routine));
  if (clones.empty()) return;
  const uint32_t old_count = dpi_block_cnt_get(routine);
  dpi_block_cnt_set(routine, old_count + static_cast<uint32_t>(clones.size()));
  for (size_t k = 0; k < clones.size(); ++k) {
    DpiBlock clone;
    clone.count = routine.blocks[clones[k].index].count;
    clone.start_line = clones[k].line;
    clone.start_col = clones[k].column;
    routine.blocks[old_count + k] = clone;
  }
}

}  // namespace vorel
