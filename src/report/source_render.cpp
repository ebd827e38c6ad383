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
      current_(options.differential ? kColorCovered : kColorUnknown) {}

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

bool SourceRenderer::render_line(uint32_t line, std::string_view text) {
  if (options_.differential) {
    auto it = function_starts_.find(line);
    if (it != function_starts_.end())
      current_ = it->second ? kColorUncoveredFunction : kColorCovered;
  }
  const bool infeasible = infeasible_.is_infeasible(line);
  std::fprintf(out_, "%6u) ", std::min(line, kMaxShownLine));

  size_t blanks = 0;
  while (blanks < text.size() && blanks < kMaxLeadingBlanks && is_blank(text[blanks])) ++blanks;
  if (const PositionRecord* r = positions_.position(line, static_cast<uint32_t>(blanks + 1)))
    current_ = state_at(*r);
  std::fprintf(out_, "<a name=\"l%u\" style=\"background-color: %s\">", line,
               html_escape(color(infeasible ? kColorNotFeasible : current_)).c_str());

  markers_.clear();
  try {
    markers_.reserve(text.size());
  } catch (const std::bad_alloc&) {
    std::fputs("</a>\n", out_);
    print_out("Error - Not enough memory!! (bOutputLineCoverage)\n");
    return false;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const PositionRecord* r = positions_.position(line, static_cast<uint32_t>(i + 1));
    if (r) {
      const int next = state_at(*r);
      if (!infeasible && color(next) != color(current_))
        std::fprintf(out_, "</a><a style=\"background-color: %s\">",
                     html_escape(color(next)).c_str());
      current_ = next;
    }
    if (c == '\n')
      std::fputs("</a>\n", out_);
    else
      write_escaped(out_, std::string_view(&c, 1));
    markers_.push_back(marker_for(r, c, infeasible));
  }
  // A last line without a line feed is closed the same way.
  if (text.empty() || text.back() != '\n') std::fputs("</a>\n", out_);
  if (markers_.find('^') != std::string::npos) write_info_lines(line);
  return true;
}

// Writes the counts under the "^" marks. A count stays on the current
// information line when it fits before the next "^"; otherwise the next
// mark starts a new information line from the start of the marker line.
void SourceRenderer::write_info_lines(uint32_t line) {
  const std::string style =
      html_escape(color(options_.floating_info ? current_ : kColorInformation));
  size_t col = 0;
  bool open = false;
  while (true) {
    const size_t caret = markers_.find('^', col);
    if (caret == std::string::npos) break;
    if (!open) {
      std::fprintf(out_, "%s<a style=\"background-color: %s\">", kInfoIndent, style.c_str());
      open = true;
    }
    for (size_t i = col; i < caret; ++i) std::fputc(markers_[i] == '\t' ? '\t' : ' ', out_);
    markers_[caret] = ' ';  // done: a blank on later information lines
    const PositionRecord* r = positions_.position(line, static_cast<uint32_t>(caret + 1));
    const std::string text = r ? count_text(*r) : " 0 ";
    std::fprintf(out_, "^%s", text.c_str());
    const size_t width = 1 + text.size();
    const size_t next = markers_.find('^', caret + 1);
    if (next == std::string::npos) break;
    if (next - caret >= width) {
      col = caret + width;
    } else {
      std::fputs("</a>\n", out_);
      open = false;
      col = 0;
    }
  }
  if (open) std::fputs("</a>\n", out_);
}

}  // namespace vorel
