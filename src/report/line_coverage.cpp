#include "report/line_coverage.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "coverage/coverage_list.h"
#include "coverage/position_state.h"
#include "base/diag.h"
#include "report/report_options.h"
#include "report/format.h"
#include "report/page_names.h"
#include "platform/file_open.h"

namespace vorel {

namespace {

// A count that stands for executed code: neither 0 nor the never-executed mark.
bool ran(uint64_t count) { return count != 0 && count != kNeverExecuted; }

// The largest count of the line that stands for executed code. The
// never-executed mark of a routine that did not run must not hide the count
// of code on the same line that did run.
uint64_t line_count(const LineInfo& info) {
  uint64_t best = 0;
  for (const PositionRecord& r : info.chain)
    if (ran(r.count) && r.count > best) best = r.count;
  return best;
}

// Skips a UTF-8 byte-order mark at the start of `in`.
void skip_bom(std::FILE* in) {
  unsigned char head[3];
  size_t n = std::fread(head, 1, sizeof head, in);
  if (n == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) return;
  std::rewind(in);
}

// Writes the prefix of line `line`; returns whether a count was printed.
bool write_prefix(std::FILE* out, const std::optional<LineInfo>& info, unsigned line) {
  if (!info) {
    std::fprintf(out, "           ?????: %6u:", line);
    return false;
  }
  if (info->blocks == 0) {
    std::fprintf(out, "               -: %6u:", line);
    return false;
  }
  uint64_t count = line_count(*info);
  if (count == 0) {
    std::fprintf(out, "           #####: %6u:", line);
    return false;
  }
  std::fprintf(out, "%16s: %6u:", group_digits(count).c_str(), line);
  return true;
}

// Copies one line, from its first character `c` up to and including its line
// feed or up to the end of file, in one write. Returns whether it ended with
// a line feed. The source is read in binary mode; where the text-mode output
// writes CR LF for LF (Windows) a CR before the line feed is left to it, so
// a CR LF source line comes out as CR LF, not CR CR LF.
bool copy_line(std::FILE* in, std::FILE* out, int c, std::string& line) {
  line.clear();
  for (;;) {
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
    c = std::getc(in);
    if (c == EOF) break;
  }
  const bool ended = line.back() == '\n';
  if (kTextStreamsWriteCrLf && ended && line.size() >= 2 && line[line.size() - 2] == '\r')
    line.erase(line.size() - 2, 1);
  std::fwrite(line.data(), 1, line.size(), out);
  return ended;
}

// The -blockcounts lines of a line with more than one block.
void write_block_lines(std::FILE* out, const LineInfo& info, unsigned line, bool count_printed) {
  if (info.blocks <= 1) return;
  std::fprintf(out, "               -: %6u-%u of %u blocks covered\n", line, info.covered,
               info.blocks);
  if (!count_printed) return;
  unsigned index = 0;
  for (const PositionRecord& r : info.chain) {
    if (ran(r.count))
      std::fprintf(out, "%16s: %6u-BLOCK %u\n", group_digits(r.count).c_str(), line, index);
    else
      std::fprintf(out, "           $$$$$: %6u-BLOCK %u\n", line, index);
    ++index;
  }
}

void write_lines(std::FILE* in, std::FILE* out, const CoverageList& files, bool block_counts) {
  std::string text;
  int c = std::getc(in);
  for (unsigned line = 1; c != EOF; ++line) {
    std::optional<LineInfo> info = files.line_query(line);
    bool count_printed = write_prefix(out, info, line);
    bool ended = copy_line(in, out, c, text);
    if (block_counts && info && info->blocks > 1) {
      // A last line without line feed still ends before its detail lines.
      if (!ended) std::putc('\n', out);
      write_block_lines(out, *info, line, count_printed);
    }
    c = std::getc(in);
  }
}

}  // namespace

bool write_line_coverage(const CoverageList& files, bool block_counts, const ReportOptions& options) {
  const FileListNode* node = files.current_node();
  if (!node) internal_error("line-coverage text without a current source file");
  const std::string& source = node->name();

  std::FILE* in = open_file(source, "rb");
  if (!in) {
    print_err("Error - Cannot open %s!\n", source.c_str());
    return false;
  }
  skip_bom(in);
  const std::string out_name = dir_name(node->report_name(), "LCOV", options.host.separator);
  std::FILE* out = std::fopen(out_name.c_str(), "w");
  if (!out) {
    std::fclose(in);
    print_err("Cannot open %s for output!\n", out_name.c_str());
    return false;
  }
  std::fprintf(out, "               -: %s\n", source.c_str());
  write_lines(in, out, files, block_counts);
  std::fclose(in);
  std::fclose(out);
  return true;
}

}  // namespace vorel
