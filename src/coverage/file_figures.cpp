#include "coverage/file_figures.h"

#include <algorithm>

#include "coverage/block_rules.h"
#include "coverage/component.h"
#include "coverage/marker_scanner.h"
#include "profile/branch_tag.h"
#include "profile/dpi.h"

namespace vorel {

namespace {

constexpr uint64_t kSaturatedHits = UINT64_MAX - 1;  // below the "never ran" mark

}  // namespace

uint32_t FileFigures::covered_lines() const {
  uint32_t n = 0;
  for (const auto& [line, hits] : line_hits)
    if (hits > 0) ++n;
  return n;
}

uint32_t FileFigures::covered_functions() const {
  uint32_t n = 0;
  for (const FunctionFigures& f : functions)
    if (f.hits > 0) ++n;
  return n;
}

uint64_t FileFigures::branch_count() const {
  uint64_t n = 0;
  for (const auto& [line, arcs] : branches) n += arcs.size();
  return n;
}

uint64_t FileFigures::covered_branches() const {
  uint64_t n = 0;
  for (const auto& [line, arcs] : branches)
    for (const BranchFigure& b : arcs)
      if (b.ran && b.count > 0) ++n;
  return n;
}

void FigureTotals::add(const FileFigures& file) {
  branches += file.branch_count();
  covered_branches += file.covered_branches();
  lines += file.line_hits.size();
  covered_lines += file.covered_lines();
  functions += file.functions.size();
  covered_functions += file.covered_functions();
  blocks += file.blocks;
  covered_blocks += file.covered_blocks;
}

void figures_begin_file(FileFigures& figures, const std::string& name, uint32_t last_line) {
  figures = FileFigures{};
  figures.valid = true;
  figures.name = name;
  figures.last_line = last_line;
}

namespace {

// One arc into its line's list, kept in arc-number order; an arc listed
// twice is summed as lcov sums it ("-" gives way to a count).
void add_branch(FileFigures& figures, const BlockLineMap& m, uint64_t count, const MarkerScanner& scanner) {
  const uint32_t line = m.first_entry;
  if (line == 0 || line > figures.last_line || scanner.is_infeasible(line)) return;
  const bool ran = (m.kept_value & kBranchNotRun) == 0;
  BranchFigure arc{m.kept_value & kBranchNumberMask, branch_block(m.kept_value), ran ? count : 0, ran};
  std::vector<BranchFigure>& arcs = figures.branches[line];
  auto at = std::lower_bound(arcs.begin(), arcs.end(), arc.number,
                             [](const BranchFigure& b, uint32_t n) { return b.number < n; });
  if (at == arcs.end() || at->number != arc.number) {
    arcs.insert(at, arc);
  } else if (ran) {
    at->count = at->ran && at->count <= UINT64_MAX - arc.count ? at->count + arc.count
                : at->ran                                     ? UINT64_MAX
                                                              : arc.count;
    at->ran = true;
  }
}

}  // namespace

void figures_add_routine(FileFigures& figures, const Component& c, const DpiRoutine* record,
                         bool executed, const MarkerScanner& scanner, bool line_holder) {
  FunctionFigures f;
  f.name = c.proc_name;
  f.readable_name = c.readable_name.value_or(c.proc_name);
  f.start_line = c.start_line;
  if (executed && record) f.hits = std::max<uint64_t>(entry_frequency(*record), 1);

  if (c.has_line_map_handle) {
    // Every line of the routine's maps is executable; a block's count covers
    // the lines of its map. Counts of blocks the record does not hold stay 0.
    // Per line the routine's largest block count, then summed over routines.
    const uint32_t visited = executed && record ? visited_blocks(*record) : 0;
    std::vector<std::pair<uint32_t, uint64_t>> own;
    for (const BlockLineMap& m : c.line_maps) {
      const uint64_t count = m.block_index < visited ? record->blocks[m.block_index].count : 0;
      if (is_branch_map(static_cast<uint32_t>(m.entries.size()), m.kept_value)) {
        add_branch(figures, m, count, scanner);
        continue;
      }
      for (uint32_t line : m.entries)
        // 0 is no source line, nor is one beyond the end.
        if (line != 0 && line <= figures.last_line && !scanner.is_infeasible(line)) own.emplace_back(line, count);
    }
    std::sort(own.begin(), own.end());
    for (size_t i = 0; i < own.size(); ++i) {
      if (i + 1 < own.size() && own[i + 1].first == own[i].first) continue;  // the line's largest is last
      uint64_t& hits = figures.line_hits[own[i].first];
      const uint64_t most = own[i].second;
      hits = most > kSaturatedHits - hits ? kSaturatedHits : hits + most;
      f.lines.push_back(own[i].first);
    }
  }
  if (!line_holder) figures.functions.push_back(std::move(f));
}

double figures_percent(uint64_t part, uint64_t whole) {
  return whole == 0 ? 0.0 : static_cast<double>(part) * 100.0 / static_cast<double>(whole);
}

}  // namespace vorel
