#include "import_gcov/exclusion_markers.h"

#include <algorithm>
#include <cstring>

namespace import_gcov {

namespace {

// What one line holds, as bits.
enum Marker : unsigned {
  kLine = 1,
  kStart = 2,
  kStop = 4,
  kBrLine = 8,
  kBrStart = 16,
  kBrStop = 32,
  kExcBrLine = 64,
  kExcBrStart = 128,
  kExcBrStop = 256,
};

struct Suffix {
  const char* text;
  unsigned marker;
};
// The words after "_EXCL_", each matched where it starts.
constexpr Suffix kSuffixes[] = {
    {"LINE", kLine},
    {"START", kStart},
    {"STOP", kStop},
    {"BR_LINE", kBrLine},
    {"BR_START", kBrStart},
    {"BR_STOP", kBrStop},
    {"EXCEPTION_BR_LINE", kExcBrLine},
    {"EXCEPTION_BR_START", kExcBrStart},
    {"EXCEPTION_BR_STOP", kExcBrStop},
};

bool has_prefix_before(std::string_view text, size_t at, std::string_view prefix) {
  return at >= prefix.size() && text.substr(at - prefix.size(), prefix.size()) == prefix;
}

// One section kind (lines, branches): lcov's flag, turned into ranges.
class SectionTracker {
 public:
  SectionTracker(unsigned line, unsigned start, unsigned stop, ExclusionMarkers::Ranges* out)
      : line_(line), start_(start), stop_(stop), out_(out) {}

  void at(uint32_t number, unsigned markers) {
    if ((markers & stop_) && open_) {
      if (number > first_) add(first_, number - 1);
      open_ = false;
    } else if (!(markers & stop_) && (markers & start_) && !open_) {
      open_ = true;
      first_ = number;
    }
    if ((markers & line_) && !open_) add(number, number);
  }
  // True when a section is still open: it runs to the end of the file.
  bool finish() {
    if (open_) add(first_, UINT32_MAX);
    return open_;
  }

 private:
  void add(uint32_t first, uint32_t last) {
    if (!out_->empty() && out_->back().second >= first - 1 && first > 0) {
      out_->back().second = std::max(out_->back().second, last);
      return;
    }
    out_->emplace_back(first, last);
  }

  unsigned line_, start_, stop_;
  ExclusionMarkers::Ranges* out_;
  bool open_ = false;
  uint32_t first_ = 0;
};

}  // namespace

namespace {

bool in_ranges(const ExclusionMarkers::Ranges& ranges, uint32_t line) {
  auto it = std::upper_bound(ranges.begin(), ranges.end(), line,
                             [](uint32_t l, const std::pair<uint32_t, uint32_t>& r) { return l < r.first; });
  return it != ranges.begin() && line <= std::prev(it)->second;
}

}  // namespace

bool ExclusionMarkers::excludes_line(uint32_t line) const { return in_ranges(lines, line); }

bool ExclusionMarkers::excludes_branches(uint32_t line) const {
  return in_ranges(branch_lines, line) || in_ranges(exception_branch_lines, line);
}

ExclusionMarkers scan_exclusion_markers(std::string_view text) {
  ExclusionMarkers result;
  SectionTracker lines(kLine, kStart, kStop, &result.lines);
  SectionTracker branches(kBrLine, kBrStart, kBrStop, &result.branch_lines);
  SectionTracker exception_branches(kExcBrLine, kExcBrStart, kExcBrStop, &result.exception_branch_lines);
  constexpr std::string_view kKey = "_EXCL_";
  uint32_t line = 1;            // line number at `counted`
  size_t counted = 0;           // bytes up to here have been counted
  uint32_t marked_line = 0;     // the line `markers` belongs to
  unsigned markers = 0;
  auto flush = [&] {
    if (!markers) return;
    lines.at(marked_line, markers);
    branches.at(marked_line, markers);
    exception_branches.at(marked_line, markers);
    markers = 0;
  };
  for (size_t at = text.find(kKey); at != std::string_view::npos; at = text.find(kKey, at + 1)) {
    if (!has_prefix_before(text, at, "LCOV") && !has_prefix_before(text, at, "GCOVR")) continue;
    std::string_view rest = text.substr(at + kKey.size());
    unsigned found = 0;
    for (const Suffix& s : kSuffixes)
      if (rest.substr(0, std::strlen(s.text)) == s.text) found |= s.marker;
    if (!found) continue;
    for (; counted < at; ++counted)
      if (text[counted] == '\n' && line < UINT32_MAX) ++line;
    if (line != marked_line) flush();
    marked_line = line;
    markers |= found;
  }
  flush();
  bool open_lines = lines.finish();
  bool open_branches = branches.finish();
  exception_branches.finish();  // open to the end of the file, without a warning
  result.unterminated = open_lines || open_branches;
  return result;
}

}  // namespace import_gcov
