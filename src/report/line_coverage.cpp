#include "report/line_coverage.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "coverage/coverage_list.h"
#include "coverage/position_state.h"
#include "base/diag.h"
#include "base/output.h"
#include "platform/file_open.h"
#include "platform/output_file.h"
#include "platform/whole_file.h"
#include "report/report_options.h"
#include "report/format.h"
#include "report/page_names.h"

namespace vorel {

namespace {

// A count that stands for executed code: neither 0 nor the never-executed mark.
bool ran(uint64_t count) { return count != 0 && count != kNeverExecuted; }

// The line's count (the line query's figure: summed over the routines that
// share the line) when it stands for executed code, else the largest count
// that does: the never-executed mark of a routine that did not run must not
// hide the count of code on the same line that did run.
uint64_t line_count(const LineInfo& info) {
  if (ran(info.max_count)) return info.max_count;
  uint64_t best = 0;
  for (const PositionRecord& r : info.chain)
    if (ran(r.count) && r.count > best) best = r.count;
  return best;
}

// The source without a UTF-8 byte-order mark at its start.
std::string_view without_bom(std::string_view source) {
  if (source.size() >= 3 && source.substr(0, 3) == "\xEF\xBB\xBF") return source.substr(3);
  return source;
}

// Appends printf-formatted text to `out`.
template <typename... Args>
void append_format(std::string& out, const char* format, Args... args) {
  char text[128];
  int n = std::snprintf(text, sizeof text, format, args...);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof text) {
    out.append(text, static_cast<size_t>(n));
    return;
  }
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(n) + 1);
  std::snprintf(out.data() + at, static_cast<size_t>(n) + 1, format, args...);
  out.resize(at + static_cast<size_t>(n));
}

// Appends the prefix of line `line` ("%16s: %6u:" with the count or its
// stand-in); returns whether a count was printed.
bool append_prefix(std::string& out, const std::optional<LineInfo>& info, unsigned line) {
  bool counted = false;
  if (!info) {
    out += "           ?????";
  } else if (info->blocks == 0) {
    out += "               -";
  } else if (const uint64_t count = line_count(*info); count == 0) {
    out += "           #####";
  } else {
    const std::string digits = group_digits(count);
    if (digits.size() < 16) out.append(16 - digits.size(), ' ');
    out += digits;
    counted = true;
  }
  out += ": ";
  append_decimal(out, line, 6);
  out += ':';
  return counted;
}

// The -blockcounts lines of a line with more than one block.
void append_block_lines(std::string& out, const LineInfo& info, unsigned line,
                        bool count_printed) {
  append_format(out, "               -: %6u-%u of %u blocks covered\n", line, info.covered,
                info.blocks);
  if (!count_printed) return;
  unsigned index = 0;
  for (const PositionRecord& r : info.chain) {
    if (ran(r.count))
      append_format(out, "%16s: %6u-BLOCK %u\n", group_digits(r.count).c_str(), line, index);
    else
      append_format(out, "           $$$$$: %6u-BLOCK %u\n", line, index);
    ++index;
  }
}

// Writes every line of `source` (NUL bytes and carriage returns copied as
// they are, but for the CR of a CR LF on Windows) with its prefix; one write per line.
void write_lines(std::string_view source, std::FILE* out, const CoverageList& files,
                 bool block_counts) {
  std::string text;
  unsigned line = 1;
  for (size_t at = 0; at < source.size(); ++line) {
    size_t end = source.find('\n', at);
    const bool ended = end != std::string_view::npos;
    end = ended ? end + 1 : source.size();
    std::optional<LineInfo> info = files.line_query(line);
    text.clear();
    bool count_printed = append_prefix(text, info, line);
    text.append(source.data() + at, end - at);
    at = end;
    // Where the text-mode output writes CR LF for LF (Windows), the CR of a
    // CR LF source line is left to it: CR LF comes out, not CR CR LF.
    if (kTextStreamsWriteCrLf && ended && text.size() >= 2 && text[text.size() - 2] == '\r')
      text.erase(text.size() - 2, 1);
    if (block_counts && info && info->blocks > 1) {
      // A last line without line feed still ends before its detail lines.
      if (!ended) text.push_back('\n');
      append_block_lines(text, *info, line, count_printed);
    }
    std::fwrite(text.data(), 1, text.size(), out);
  }
}

}  // namespace

bool write_line_coverage(const CoverageList& files, bool block_counts, const ReportOptions& options) {
  const FileListNode* node = files.current_node();
  if (!node) internal_error("line-coverage text without a current source file");
  const std::string& source = node->name();

  std::FILE* in = open_file(node->source_path(), "rb");
  if (!in) {
    print_err("Error - Cannot open %s!\n", node->source_path().c_str());
    return false;
  }
  const std::string bytes = read_rest(in);
  const std::string out_name = dir_name(node->report_name(), "LCOV", options.host.separator);
  std::FILE* out = output_open(out_name);
  if (!out) {
    std::fclose(in);
    print_err("Cannot open %s for output!\n", out_name.c_str());
    return false;
  }
  std::fprintf(out, "               -: %s\n", source.c_str());
  write_lines(without_bom(bytes), out, files, block_counts);
  std::fclose(in);
  return finish_output(out, out_name);
}

}  // namespace vorel
