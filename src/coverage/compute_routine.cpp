#include "coverage/compute_routine.h"

#include <new>

#include "coverage/block_rules.h"
#include "coverage/component.h"
#include "coverage/compute.h"
#include "coverage/model.h"
#include "coverage/position_state.h"
#include "base/diag.h"
#include "coverage/coverage_options.h"
#include "profile/dpi.h"

namespace vorel {

namespace {

// The block coverage space of one routine: detail entries in recording order.
class BlockSpace {
 public:
  void get_block_cov_space(size_t entries) {
    try {
      space_.reserve(entries);
    } catch (const std::bad_alloc&) {
      print_err("ERROR: unable to allocate %d bytes of memory for %s\n",
                static_cast<int>(entries * 24), "get_block_cov_space");
      fatal_exit(1);
    }
  }
  void record(uint32_t line, uint32_t column, double count) {
    space_.push_back({line, column, count});
  }
  // Ordered by line, then column; a later entry goes in front of equal ones.
  std::vector<BlockDetail> ordered() const {
    std::vector<BlockDetail> out = space_;
    order_block_list(out);
    return out;
  }

 private:
  std::vector<BlockDetail> space_;
};

void report_to_sink(const ComputeContext& ctx, const RoutineWork& r, uint64_t frequency,
                    uint32_t blocks, const BlockSpace& space) {
  if (!ctx.sink || r.line_holder) return;
  std::vector<BlockDetail> details = space.ordered();
  BlockListFunction f;
  f.name = r.list_name;
  f.start_line = r.entry->start_line;
  f.frequency = frequency;
  f.blocks = blocks;
  f.covered = r.covered;
  f.details = details;
  ctx.sink->function(f);
}

// Line coverage of one executed block: every line of its set.
void add_block_lines(const ComputeContext& ctx, RoutineWork& r, uint32_t block, uint64_t count) {
  auto lines = r.line_map->by_block.find(block);
  if (lines == r.line_map->by_block.end()) return;
  CoverageList& files = ctx.model.files;
  for (uint32_t line : lines->second) {
    if (!ctx.model.scanner.is_infeasible(line) && count > 0 && !files.is_position_covered(line))
      ++r.covered_lines;
    uint32_t* unused = nullptr;
    files.add_block_count(line, 1, count, r.newly_covered, &unused);
  }
}

}  // namespace

void add_executed_routine(const ComputeContext& ctx, bool line_coverage, RoutineWork& r,
                          FileWork& file) {
  const CoverageOptions& s = ctx.options;
  const Component& c = *r.entry;
  const DpiRoutine& d = *r.record;
  if (!record_has_positions(d)) {
    print_err("No line number info for %s: recompile with -Qprof_genx (instead of -Qprof_gen).\n",
              c.file_name.data());
    print_err("...Assigning all exec counts to line 1 column 1.\n");
  }
  if (!r.line_holder) ++file.executed;
  file.blocks += r.extra;
  const uint32_t n = visited_blocks(d);
  const DpiRoutine* ref = s.differential ? r.ref_record.get() : nullptr;
  const uint32_t ref_n = ref ? visited_blocks(*ref) : 0;
  const bool full_list = ctx.sink != nullptr;
  BlockSpace space;
  if (full_list) space.get_block_cov_space(n);
  const MarkerScanner& scanner = ctx.model.scanner;
  CoverageList& files = ctx.model.files;

  for (uint32_t i = 0; i < n; ++i) {
    const BlockSite site = block_site(d, i, c.start_line, s.no_unwind);
    const uint32_t line = site.line;
    const uint32_t column = site.column;
    const bool ignored = site.left_out || scanner.is_infeasible(line);
    uint64_t count = d.blocks[i].count;
    if (ignored) {
      --file.blocks;
      ++r.ignored;
    } else if (full_list) {
      space.record(line, column, static_cast<double>(count));
    }
    if (ref && i < ref_n && ref->blocks[i].count != 0) count = 0;
    if (static_cast<double>(count) > 0 && !ignored) {
      ++file.covered_blocks;
      ++r.covered;
    }
    if (line_coverage && r.line_map) {
      add_block_lines(ctx, r, i, count);
      continue;
    }
    if (s.no_unwind && site.handler) continue;
    uint32_t* uncovered = nullptr;
    files.add_block_count(line, column, count, r.newly_covered, &uncovered);
    if (s.no_partial && !line_coverage && uncovered && *uncovered > 0 && !ignored) {
      file.covered_blocks += *uncovered;
      r.covered += *uncovered;
      *uncovered = 0;
    }
  }
  report_to_sink(ctx, r, entry_frequency(d), c.counted_blocks + r.extra - r.ignored, space);
  if (s.differential && r.covered >= 1 && !r.line_holder) ++file.with_new_coverage;
  if (n >= 1) file.executed_with_blocks = true;
}

void add_routine_not_executed(const ComputeContext& ctx, bool line_coverage, RoutineWork& r) {
  const Component& c = *r.entry;
  if (ctx.sink) {
    BlockSpace space;
    if (ctx.options.include_nonexec) {
      std::vector<BlockDetail> blocks = never_run_blocks(r.record.get(), c.line_maps);
      space.get_block_cov_space(blocks.size());
      for (const BlockDetail& b : blocks) space.record(b.line, b.column, b.count);
    }
    report_to_sink(ctx, r, 0, c.counted_blocks, space);
  }
  CoverageList& files = ctx.model.files;
  if (line_coverage && r.line_map) {
    for (const auto& [block, lines] : r.line_map->by_block)
      for (uint32_t line : lines) files.add_block_count(line, 1, 0, false, nullptr);
    return;
  }
  files.add_block_count(c.start_line, c.start_column == 0 ? 1 : c.start_column, kNeverExecuted,
                       r.newly_covered, nullptr);
}

}  // namespace vorel
