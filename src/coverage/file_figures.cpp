#include "coverage/file_figures.h"

#include <algorithm>

#include "coverage/block_rules.h"
#include "coverage/component.h"
#include "coverage/marker_scanner.h"
#include "profile/dpi.h"

namespace vorel {

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

void FigureTotals::add(const FileFigures& file) {
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

void figures_add_routine(FileFigures& figures, const Component& c, const DpiRoutine* record,
                         bool executed, const MarkerScanner& scanner) {
  FunctionFigures f;
  f.name = c.proc_name;
  f.readable_name = c.readable_name.value_or(c.proc_name);
  f.start_line = c.start_line;
  if (executed && record) f.hits = std::max<uint64_t>(entry_frequency(*record), 1);

  if (c.has_line_map_handle) {
    // Every line of the routine's maps is executable; a block's count covers
    // the lines of its map. Counts of blocks the record does not hold stay 0.
    const uint32_t visited = executed && record ? visited_blocks(*record) : 0;
    for (const BlockLineMap& m : c.line_maps) {
      const uint64_t count = m.block_index < visited ? record->blocks[m.block_index].count : 0;
      for (uint32_t line : m.entries) {
        // 0 is no source line, nor is one beyond the end.
        if (line == 0 || line > figures.last_line || scanner.is_infeasible(line)) continue;
        uint64_t& hits = figures.line_hits[line];
        hits = std::max(hits, count);
        f.lines.push_back(line);
      }
    }
    std::sort(f.lines.begin(), f.lines.end());
    f.lines.erase(std::unique(f.lines.begin(), f.lines.end()), f.lines.end());
  }
  figures.functions.push_back(std::move(f));
}

double figures_percent(uint64_t part, uint64_t whole) {
  return whole == 0 ? 0.0 : static_cast<double>(part) * 100.0 / static_cast<double>(whole);
}

}  // namespace vorel
