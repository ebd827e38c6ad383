#include "report/source_render.h"

#include <algorithm>
#include <new>

#include "coverage/coverage_list.h"
#include "coverage/marker_scanner.h"
#include "coverage/position_state.h"
#include "base/diag.h"
#include "report/report_options.h"
#include "report/format.h"
#include "report/html_text.h"

namespace vorel {

namespace {

constexpr uint32_t kMaxShownLine = 999999;
constexpr size_t kMaxLeadingBlanks = 255;
const char kInfoIndent[] = "        ";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string count_text(const PositionRecord& r) {
  const uint64_t count = r.count == kNeverExecuted ? 0 : r.count;
  std::string text(1, ' ');
  text += group_digits(count);
  text += ' ';
  if (r.blocks > 1) {
    text += '(';
    if (r.covered > 0 && r.covered < r.blocks) {
      text += group_digits(r.covered);
      text += '/';
    }
    text += group_digits(r.blocks);
    text += ')';
  }
  return text;
}

SourceRenderer::SourceRenderer(std::FILE* out, const ReportOptions& options,
                               const CoverageList& positions, const MarkerScanner& infeasible,
                               std::map<uint32_t, bool> function_starts)
    : out_(out),
      options_(options),
      positions_(positions),
      infeasible_(infeasible),
      function_starts_(std::move(function_starts)),
      current_(options.differential ? kColorCovered : kColorUnknown) {
  for (size_t i = 0; i < escaped_colors_.size(); ++i)
    escaped_colors_[i] = html_escape(options.color(static_cast<int>(i)));
}

int SourceRenderer::state_at(const PositionRecord& r) const {
  return position_state(options_.differential, r.count, r.is_new, r.blocks, r.covered,
                        r.last_block);
}

const std::string& SourceRenderer::color(int index) const { return options_.color(index); }

char SourceRenderer::marker_for(const PositionRecord* r, char c, bool infeasible) const {
  if (r) {
    const bool mark = options_.show_counts && !infeasible && (r->blocks > 0 || !r->last_block);
    return mark ? '^' : ' ';
  }
  return c == '\t' || c == '\n' || c == '\r' ? c : ' ';
}

void SourceRenderer::collect_columns(uint32_t line) {
  columns_.clear();
  for (const PositionRecord& r : positions_.records_on(line))
    if (r.line == line) columns_.emplace_back(r.column, &r);
  // Ascending columns; of several records at one column the first counts.
  std::stable_sort(columns_.begin(), columns_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  columns_.erase(std::unique(columns_.begin(), columns_.end(),
                             [](const auto& a, const auto& b) { return a.first == b.first; }),
                 columns_.end());
}

const PositionRecord* SourceRenderer::record_at(size_t column) const {
  for (const auto& [at, record] : columns_)
    if (at == column) return record;
  return nullptr;
}

// Bytes without a position record: escaped, a line feed closes the anchor.
void SourceRenderer::append_plain(std::string_view part) {
  size_t start = 0;
  for (size_t nl; (nl = part.find('\n', start)) != std::string_view::npos; start = nl + 1) {
    append_escaped(line_out_, part.substr(start, nl - start));
    line_out_ += "</a>\n";
  }
  append_escaped(line_out_, part.substr(start));
  if (options_.show_counts)
    for (char c : part) markers_.push_back(marker_for(nullptr, c, false));
}

bool SourceRenderer::render_line(uint32_t line, std::string_view text) {
  if (options_.differential) {
    auto it = function_starts_.find(line);
    if (it != function_starts_.end())
      current_ = it->second ? kColorUncoveredFunction : kColorCovered;
  }
  const bool infeasible = infeasible_.is_infeasible(line);
  collect_columns(line);
  line_out_.clear();
  append_decimal(line_out_, std::min(line, kMaxShownLine), 6);
  line_out_ += ") ";

  size_t blanks = 0;
  while (blanks < text.size() && blanks < kMaxLeadingBlanks && is_blank(text[blanks])) ++blanks;
  if (const PositionRecord* r = record_at(blanks + 1)) current_ = state_at(*r);
  line_out_ += "<a name=\"l";
  append_decimal(line_out_, line);
  line_out_ += "\" style=\"background-color: ";
  line_out_ += escaped_colors_[infeasible ? kColorNotFeasible : current_];
  line_out_ += "\">";

  markers_.clear();
  try {
    markers_.reserve(text.size());
  } catch (const std::bad_alloc&) {
    line_out_ += "</a>\n";
    std::fwrite(line_out_.data(), 1, line_out_.size(), out_);
    print_out("Error - Not enough memory!! (bOutputLineCoverage)\n");
    return false;
  }
  // Only the columns with position records change colour or get a mark;
  // the bytes between them are copied escaped.
  size_t done = 0;
  for (const auto& [column, r] : columns_) {
    if (column == 0) continue;
    if (column > text.size()) break;
    const size_t i = column - 1;
    append_plain(text.substr(done, i - done));
    const int next = state_at(*r);
    if (!infeasible && color(next) != color(current_)) {
      line_out_ += "</a><a style=\"background-color: ";
      line_out_ += escaped_colors_[next];
      line_out_ += "\">";
    }
    current_ = next;
    if (text[i] == '\n')
      line_out_ += "</a>\n";
    else
      append_escaped(line_out_, text.substr(i, 1));
    if (options_.show_counts) markers_.push_back(marker_for(r, text[i], infeasible));
    done = i + 1;
  }
  append_plain(text.substr(done));
  // A last line without a line feed is closed the same way.
  if (text.empty() || text.back() != '\n') line_out_ += "</a>\n";
  if (markers_.find('^') != std::string::npos) append_info_lines();
  std::fwrite(line_out_.data(), 1, line_out_.size(), out_);
  return true;
}

// Appends the counts under the "^" marks. A count stays on the current
// information line when it fits before the next "^"; otherwise the next
// mark starts a new information line from the start of the marker line.
void SourceRenderer::append_info_lines() {
  const std::string& style =
      escaped_colors_[options_.floating_info ? current_ : kColorInformation];
  size_t col = 0;
  bool open = false;
  while (true) {
    const size_t caret = markers_.find('^', col);
    if (caret == std::string::npos) break;
    if (!open) {
      line_out_ += kInfoIndent;
      line_out_ += "<a style=\"background-color: ";
      line_out_ += style;
      line_out_ += "\">";
      open = true;
    }
    for (size_t i = col; i < caret; ++i) line_out_.push_back(markers_[i] == '\t' ? '\t' : ' ');
    markers_[caret] = ' ';  // done: a blank on later information lines
    const PositionRecord* r = record_at(caret + 1);
    const std::string text = r ? count_text(*r) : " 0 ";
    line_out_.push_back('^');
    line_out_ += text;
    const size_t width = 1 + text.size();
    const size_t next = markers_.find('^', caret + 1);
    if (next == std::string::npos) break;
    if (next - caret >= width) {
      col = caret + width;
    } else {
      line_out_ += "</a>\n";
      open = false;
      col = 0;
    }
  }
  if (open) line_out_ += "</a>\n";
}

}  // namespace vorel
