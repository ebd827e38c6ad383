// The figures of one routine in the covered-function and covered-block
// lists: entry frequency, blocks, covered blocks and the block list, taken
// from the routine's dynamic record (or, for a routine that did not execute,
// from the static line maps). The block rules themselves are the per-file
// computation's (coverage/block_rules.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "coverage/block_rules.h"
#include "coverage/block_line_map.h"
#include "coverage/block_list_sink.h"

namespace vorel {

struct DpiRoutine;

struct RoutineBlocks {
  bool executed = false;     // some block of the record ran
  uint64_t frequency = 0;    // sum of the entry blocks' counts
  uint32_t blocks = 0;
  uint32_t covered = 0;
  std::vector<BlockDetail> block_list;  // ordered (order_block_list)
};

struct BlockRules {
  bool no_unwind = false;    // -nounwind: handler blocks do not count
  bool no_partial = false;   // -nopartial: a position with a covered block is covered
};

// Figures of a routine with a dynamic record. Blocks without a position
// (line or column 0) and, with -nounwind, handler blocks are left out;
// a record without positions puts every block at (start_line, 1). The block
// total is the larger of the record's and the static counted blocks, less
// the blocks left out. Entry points outside the record add nothing. With
// -nopartial every block at a position of the routine that has a covered
// block counts as covered.
RoutineBlocks blocks_of_record(const DpiRoutine& record, uint32_t start_line,
                               uint32_t counted_blocks, BlockRules rules);

// Figures of a routine that did not execute: frequency 0, the static counted
// blocks, nothing covered, and its blocks at count 0: with a (never run)
// record, its positioned blocks; without one, one block per static line map
// at the map's first line, column 1.
RoutineBlocks blocks_not_executed(const DpiRoutine* record,
                                  std::span<const BlockLineMap> line_maps,
                                  uint32_t counted_blocks);

}  // namespace vorel
