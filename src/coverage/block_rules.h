// The block rules that the per-file computation and the covered-function
// lists share: whether a routine ran, where each block of its dynamic record
// counts and whether it is left out of the totals, the routine's entry
// frequency, the blocks listed for a routine that never ran, and the order
// of a block list.
//
// What the two callers do not share is the treatment of partially covered
// positions (-nopartial): the per-file computation works through the file's
// position table, which merges the blocks of every routine of the file (and
// puts blocks beyond the end of the source at line 1), while the function
// lists run without a per-file pass and apply the rule within one routine.
// The computation also applies infeasible lines and the reference profile.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "coverage/block_line_map.h"
#include "coverage/block_list_sink.h"

namespace vorel {

struct DpiRoutine;

// True when the record exists and some block count is not 0.
bool routine_executed(const DpiRoutine* record);

// True when the record's blocks carry source positions (flags bit 0x10).
bool record_has_positions(const DpiRoutine& record);

// Where block `i` of a record counts: its own start position, or the
// routine's start line and column 1 when the record carries no positions
// (flags bit 0x10 clear). A block without a line or a column, and with
// -nounwind an unwind handler, is left out of the totals.
struct BlockSite {
  uint32_t line = 0;
  uint32_t column = 0;
  bool handler = false;   // the block's unwind-handler mark
  bool left_out = false;
};
BlockSite block_site(const DpiRoutine& record, uint32_t i, uint32_t start_line, bool no_unwind);

// The blocks of a record that are visited: its block count, bounded by the
// blocks really loaded.
uint32_t visited_blocks(const DpiRoutine& record);

// Sum of the counts of the record's entry-point blocks (saturating); an
// entry outside the record adds nothing.
uint64_t entry_frequency(const DpiRoutine& record);

// The blocks listed for a routine that did not run, each at count 0: the
// positioned blocks of its (never run) record; without a record, one block
// per static line map at the map's first line, column 1. In recording order.
std::vector<BlockDetail> never_run_blocks(const DpiRoutine* record,
                                          std::span<const BlockLineMap> line_maps);

// Orders a block list by line, then column; among equal positions the block
// recorded later comes first.
void order_block_list(std::vector<BlockDetail>& list);

}  // namespace vorel
