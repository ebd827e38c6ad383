// Rendering of source lines into a source view: line numbers and anchors,
// colour runs from the position states, and with -counts the information
// lines that put a "^" and the execution count under each block position.
#pragma once

#include <cstdint>
#include <array>
#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorel {

struct ReportOptions;
struct PositionRecord;
class CoverageList;
class MarkerScanner;

class SourceRenderer {
 public:
  // `function_starts` (-ref only): first line of each function -> missed.
  SourceRenderer(std::FILE* out, const ReportOptions& options, const CoverageList& positions,
                 const MarkerScanner& infeasible, std::map<uint32_t, bool> function_starts);

  // Renders line `line` (its bytes, with the line feed when it has one).
  // Returns false when the marker line cannot grow.
  bool render_line(uint32_t line, std::string_view text);

 private:
  int state_at(const PositionRecord& record) const;
  const std::string& color(int index) const;
  char marker_for(const PositionRecord* record, char c, bool infeasible) const;
  void collect_columns(uint32_t line);
  const PositionRecord* record_at(size_t column) const;
  void append_plain(std::string_view part);
  void append_info_lines();

  std::FILE* out_;
  const ReportOptions& options_;
  const CoverageList& positions_;
  const MarkerScanner& infeasible_;
  std::map<uint32_t, bool> function_starts_;
  int current_;          // colour index carried across lines
  std::string markers_;  // marker character per column of the current line (-counts)
  std::string line_out_; // the output of the current line, written at once
  // The columns of the current line that have position records, ascending,
  // each with its first record.
  std::vector<std::pair<size_t, const PositionRecord*>> columns_;
  std::array<std::string, 8> escaped_colors_;  // the colours, escaped once
};

// The text written after a "^": " <count> " and, for a position with several
// blocks, "(<covered>/<blocks>)" or "(<blocks>)" when all or none ran.
std::string count_text(const PositionRecord& record);

}  // namespace vorel
