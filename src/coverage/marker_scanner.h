// The marker scanner: the infeasible lines of one source file.
//
// The source is scanned for C and C++ comments (string and character
// literals are skipped); a comment whose trimmed text equals a marker marks
// its start line (one-line marker) or opens / closes a region (begin / end
// markers). A one-line marker on the first line of a routine marks the whole
// routine. Regions nest innermost first; an unmatched begin runs to the end
// of the file, an unmatched end is warned about and ignored.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace vorel {

struct MarkerLists;
struct Component;

class MarkerScanner {
 public:
  // An empty scanner: no line is infeasible.
  MarkerScanner() = default;

  // Scans the file at `path`. `by_start` is the file group in start-line
  // order. A file that cannot be opened is not scanned (the position table
  // reports the missing file).
  static MarkerScanner scan_file(const std::string& path, const MarkerLists& markers,
                                 const std::vector<const Component*>& by_start);
  // Scans source text already in memory; `path` names it in warnings.
  static MarkerScanner scan_text(std::string_view text, const std::string& path,
                                 const MarkerLists& markers,
                                 const std::vector<const Component*>& by_start);

  bool is_infeasible(uint32_t line) const {
    return line < infeasible_.size() && infeasible_[line];
  }
  std::set<uint32_t> infeasible_lines() const;
  bool scanned() const { return scanned_; }
  uint32_t last_line() const { return last_line_; }

 private:
  // One flag per line (index = line number); marks never pass the last line.
  std::vector<bool> infeasible_;
  uint32_t last_line_ = 0;
  bool scanned_ = false;
};

// True when the markers ask for a scan: a one-line marker, or both begin and
// end markers.
bool markers_need_scan(const MarkerLists& markers);

}  // namespace vorel
