// Per-file figures for the machine-readable extension outputs (Cobertura,
// lcov tracefile, JSON summary), the one-line summary and the coverage gate.
//
// The per-file computation fills one FileFigures record per source file:
// the executable lines of its routines with their execution counts (from the
// routines' line maps, as the line-coverage text uses them), its functions
// with start line and entry count, and (from the file entry) its block
// totals. A line that several routines share is counted once, with the sum
// over those routines of each one's largest count on it. Branch arcs come
// from the line maps that carry the branch tag (profile/branch_tag.h); a
// file whose profile has none has no branch figure.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vorel {

struct Component;
struct DpiRoutine;
class MarkerScanner;

struct FunctionFigures {
  std::string name;            // the routine's name in the profile files
  std::string readable_name;   // its readable form
  uint32_t start_line = 0;
  uint64_t hits = 0;           // entry count; at least 1 when the routine ran
  std::vector<uint32_t> lines; // its executable lines, ascending
};

// One branch arc of a line, as lcov's BRDA gives it.
struct BranchFigure {
  uint32_t number = 0;
  uint32_t block = 0;          // 0, or the pair of an importer's paired arcs
  uint64_t count = 0;
  bool ran = false;            // false: lcov writes the count as "-"
};

struct FileFigures {
  bool valid = false;          // the file was computed (its source opened)
  std::string name;            // the stored source-file name
  std::map<uint32_t, uint64_t> line_hits;  // executable line -> count
  std::vector<FunctionFigures> functions;
  uint32_t blocks = 0;
  uint32_t covered_blocks = 0;
  std::map<uint32_t, std::vector<BranchFigure>> branches;  // line -> arcs by number
  uint32_t last_line = UINT32_MAX;  // the source's last line: lines beyond it are left out

  uint32_t covered_lines() const;
  uint32_t covered_functions() const;
  uint64_t branch_count() const;
  uint64_t covered_branches() const;
};

// Totals over files.
struct FigureTotals {
  uint64_t lines = 0, covered_lines = 0;
  uint64_t functions = 0, covered_functions = 0;
  uint64_t blocks = 0, covered_blocks = 0;
  uint64_t branches = 0, covered_branches = 0;  // no branch figure when branches is 0

  void add(const FileFigures& file);
};

// Starts the record of source file `name` of `last_line` lines (clears what
// it held). A line map entry beyond the source's end is no line of it: left
// out, as the line-coverage text and the source views leave it out.
void figures_begin_file(FileFigures& figures, const std::string& name, uint32_t last_line);

// Adds one routine: its function entry (none for a line holder) and, when
// the static file carries line maps for it, its feasible lines with the
// largest count of its blocks that cover them (0 for a routine that did not
// run), added to what other routines gave the line, and the branch arcs of
// its feasible lines. `record` is the
// routine's dynamic record before any unwind-handler repair, or nullptr.
void figures_add_routine(FileFigures& figures, const Component& c, const DpiRoutine* record,
                         bool executed, const MarkerScanner& scanner, bool line_holder = false);

// part * 100 / whole; 0 when whole is 0 (as the totals table shows it).
double figures_percent(uint64_t part, uint64_t whole);

}  // namespace vorel
