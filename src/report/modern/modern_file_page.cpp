#include "report/modern/modern_file_page.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/diag.h"
#include "base/output.h"
#include "coverage/file_figures.h"
#include "coverage/model.h"
#include "coverage/position_state.h"
#include "platform/codepage.h"
#include "platform/file_open.h"
#include "platform/output_file.h"
#include "platform/undecorate.h"
#include "platform/whole_file.h"
#include "report/format.h"
#include "report/html_text.h"
#include "report/modern/modern_names.h"
#include "report/modern/modern_options.h"
#include "report/modern/modern_page.h"
#include "report/source_encoding.h"

namespace vorel {

namespace {

enum class LineKind { kNone, kCovered, kPartial, kMissed, kInfeasible };

struct LineMark {
  LineKind kind = LineKind::kNone;
  bool is_new = false;  // -ref: newly covered
  bool code = false;    // the line has code (an executable line of the figures)
  uint64_t count = 0;   // its count
};

bool record_missed(const PositionRecord& r) {
  return r.uncovered > 0 || r.count == 0 || r.count == kNeverExecuted;
}

// The kind of every line 1..last from the figures (which line has code and
// its count), the infeasible set and the block records of the line. Under
// -ref the records count new coverage only (a block that also ran in the
// reference counts 0): they mark new lines, not partly covered ones.
std::vector<LineMark> classify_lines(const FileFigures& figures, const CoverageModel& model,
                                     uint32_t last, bool differential) {
  std::vector<LineMark> marks(last + 1);
  for (const auto& [line, count] : figures.line_hits) {
    if (line > last) break;
    marks[line].code = true;
    marks[line].count = count;
  }
  for (uint32_t line = 1; line <= last; ++line) {
    LineMark& m = marks[line];
    if (model.scanner.is_infeasible(line)) {
      m.kind = LineKind::kInfeasible;
      m.code = false;
      continue;
    }
    if (!m.code) continue;
    if (m.count == 0) {
      m.kind = LineKind::kMissed;
      continue;
    }
    m.kind = LineKind::kCovered;
    for (const PositionRecord& r : model.files.records_on(line)) {
      if (r.line != line || r.blocks == 0) continue;
      if (!differential && record_missed(r)) m.kind = LineKind::kPartial;
      if (r.is_new && r.covered > 0) m.is_new = true;
    }
  }
  return marks;
}

// The shown form of a block count: the never-run mark reads as 0.
uint64_t shown_count(uint64_t count) { return count == kNeverExecuted ? 0 : count; }

void append_block_details(std::string& out, const CoverageModel& model, uint32_t line) {
  out += "<ul class=\"blocks\">";
  for (const PositionRecord& r : model.files.records_on(line)) {
    if (r.line != line || r.blocks == 0) continue;
    out += "<li class=\"";
    out += record_missed(r) ? (r.covered > 0 ? "part" : "miss") : "cov";
    out += "\">column ";
    append_decimal(out, r.column);
    out += ": ";
    append_decimal(out, r.covered);
    out += " of ";
    append_decimal(out, r.blocks);
    out += r.blocks == 1 ? " block ran" : " blocks ran";
    out += ", count ";
    out += group_digits(shown_count(r.count));
    out += "</li>";
  }
  out += "</ul>";
}

const char* kind_class(LineKind kind) {
  switch (kind) {
    case LineKind::kCovered: return "cov";
    case LineKind::kPartial: return "part";
    case LineKind::kMissed: return "miss";
    case LineKind::kInfeasible: return "inf";
    case LineKind::kNone: break;
  }
  return "";
}

// The mark cell: a symbol (UTF-8) with its text alternative; a missed or
// partly covered line's mark links to the next such line (the last to the
// top of the page).
void append_mark(std::string& out, const LineMark& m, uint32_t next_target) {
  out += "<td>";
  if (m.is_new) out += "<span class=\"new\" role=\"img\" aria-label=\"newly covered\">\u2605</span>";
  switch (m.kind) {
    case LineKind::kMissed:
    case LineKind::kPartial:
      out += "<a href=\"#";
      if (next_target) {
        out += 'L';
        append_decimal(out, next_target);
      } else {
        out += "top";
      }
      out += m.kind == LineKind::kMissed ? "\" aria-label=\"not covered\">\u2717</a>"
                                         : "\" aria-label=\"partly covered\">\u25D0</a>";
      break;
    case LineKind::kInfeasible:
      out += "<span role=\"img\" aria-label=\"excluded (infeasible)\">\u2298</span>";
      break;
    default:
      break;
  }
}

// Splits the source into lines (without their line feed and a CR before it).
std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    at = next;
  }
  return lines;
}

struct FunctionRow {
  const FunctionFigures* f;
  const FunctionInfo* info;  // its block figures, when the tables hold it
  bool is_new;
};

std::vector<FunctionRow> function_rows(const FileFigures& figures, const CoverageModel& model,
                                       bool differential) {
  std::map<std::pair<uint32_t, std::string_view>, std::pair<const FunctionInfo*, bool>> infos;
  for (const FunctionInfo* i : model.functions.covered())
    infos.emplace(std::make_pair(i->start_line, std::string_view(i->proc_name)),
                  std::make_pair(i, false));
  for (const FunctionInfo* i : model.functions.uncovered())
    infos.emplace(std::make_pair(i->start_line, std::string_view(i->proc_name)),
                  std::make_pair(i, differential));  // -ref: the back list is the new ones
  std::vector<FunctionRow> rows;
  for (const FunctionFigures& f : figures.functions) {
    const auto it = infos.find({f.start_line, std::string_view(f.name)});
    const bool found = it != infos.end();
    rows.push_back({&f, found ? it->second.first : nullptr, found && it->second.second});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const FunctionRow& a, const FunctionRow& b) {
    if ((a.f->hits == 0) != (b.f->hits == 0)) return a.f->hits == 0;
    return a.f->start_line < b.f->start_line;
  });
  return rows;
}

void append_functions(std::string& out, const ModernOptions& options, const FileFigures& figures,
                      const std::vector<FunctionRow>& rows, const std::vector<LineMark>& marks) {
  out += "<h2 id=\"functions\">Functions</h2>\n<div class=\"scroll\"><table class=\"funcs\">"
         "<thead><tr><th>Function</th><th>Line</th><th>Entries</th><th>Lines</th>"
         "<th>Blocks</th></tr></thead>\n<tbody>\n";
  for (const FunctionRow& row : rows) {
    const FunctionFigures& f = *row.f;
    out += row.f->hits == 0 ? "<tr class=\"miss\">" : "<tr>";
    out += "<td class=\"name\">";
    if (f.hits == 0)
      out += "<span class=\"mk\" title=\"never called\">&#10007;<span class=\"sr\"> never "
             "called</span></span> ";
    if (row.is_new)
      out += "<span class=\"new\" title=\"newly covered\">&#9733;<span class=\"sr\"> newly "
             "covered</span></span> ";
    out += "<code>";
    append_escaped(out, undecorate(f.name, true).value_or(f.readable_name));
    out += "</code></td><td class=\"num\"><a href=\"#L";
    append_decimal(out, f.start_line);
    out += "\">";
    append_decimal(out, f.start_line);
    out += "</a></td><td class=\"num\">";
    out += group_digits(f.hits);
    out += "</td>";
    uint64_t covered = 0;
    for (uint32_t line : f.lines) {
      if (line < marks.size()) {
        covered += marks[line].code && marks[line].count > 0 ? 1 : 0;
      } else {
        const auto hit = figures.line_hits.find(line);
        covered += hit != figures.line_hits.end() && hit->second > 0 ? 1 : 0;
      }
    }
    append_figure_cell(out, options, covered, f.lines.size(), false);
    append_figure_cell(out, options, row.info ? row.info->covered_blocks : 0,
                       row.info ? row.info->blocks : 0, false);
    out += "</tr>\n";
  }
  out += "</tbody></table></div>\n";
}

void append_header(std::string& out, const ModernOptions& options, const FileFigures& figures,
                   const std::string& shown, uint32_t first_missed,
                   const std::vector<LineMark>& marks, const std::vector<FunctionRow>& rows) {
  out += "<nav class=\"crumbs\" id=\"top\"><a href=\"index.html\">All files</a>";
  const std::vector<std::string> dirs = parent_directories(shown);
  size_t shown_from = 0;
  for (const std::string& d : dirs) {
    out += " / <a href=\"";
    out += directory_page_name(d);
    out += "\">";
    append_escaped(out, std::string_view(d).substr(shown_from));
    out += "</a>";
    shown_from = d.size() + 1;
  }
  out += "</nav>\n<h1>";
  append_escaped(out, shown);
  out += "</h1>\n<div class=\"cards\">\n";
  append_figure_card(out, options, "Lines", figures.covered_lines(), figures.line_hits.size());
  append_figure_card(out, options, "Functions", figures.covered_functions(),
                     figures.functions.size());
  append_figure_card(out, options, "Blocks", figures.covered_blocks, figures.blocks);
  out += "</div>\n<p class=\"jump\">";
  if (first_missed) {
    out += "<a id=\"first-miss\" href=\"#L";
    append_decimal(out, first_missed);
    out += "\">first uncovered line (";
    append_decimal(out, first_missed);
    out += ")</a> <span class=\"hint\">keys: n next, p previous</span>";
  } else {
    out += "every line with code is covered";
  }
  if (options.differential) {
    size_t new_lines = 0;
    for (const LineMark& m : marks) new_lines += m.is_new ? 1 : 0;
    size_t new_functions = 0;
    for (const FunctionRow& row : rows) new_functions += row.is_new ? 1 : 0;
    out += " &#183; <span class=\"new\" role=\"img\" aria-label=\"newly covered\">\u2605</span> "
           "newly covered lines: ";
    append_decimal(out, new_lines);
    out += ", functions: ";
    append_decimal(out, new_functions);
  }
  out += " &#183; <a href=\"#functions\">functions</a> &#183; <a href=\"#source\">source</a></p>\n"
         "<p class=\"legend\">Marks: \u2717 not covered &#183; \u25D0 partly covered (opens to "
         "show its blocks) &#183; \u2298 excluded (infeasible)";
  if (options.differential) out += " &#183; \u2605 newly covered";
  out += "</p>\n";
}

void append_source(std::string& out, const std::vector<std::string_view>& lines,
                   const std::vector<LineMark>& marks, const std::vector<uint32_t>& missed,
                   const CoverageModel& model) {
  out += "<h2 id=\"source\">Source</h2>\n<div class=\"scroll\"><table class=\"src\">"
         "<thead><tr><th>Line</th><th>Count</th><th><span class=\"sr\">Mark</span></th>"
         "<th>Source</th></tr></thead>\n<tbody>\n";
  size_t next_missed = 0;
  for (uint32_t n = 1; n <= lines.size(); ++n) {
    const LineMark& m = marks[n];
    out += "<tr id=\"L";
    append_decimal(out, n);
    out += "\"";
    if (m.kind != LineKind::kNone) {
      out += " class=\"";
      out += kind_class(m.kind);
      out += "\"";
    }
    // Cells by position (end tags left out): line, count, mark, source.
    out += "><td><a href=\"#L";
    append_decimal(out, n);
    out += "\">";
    append_decimal(out, n);
    out += "</a><td>";
    if (m.code) out += group_digits(m.count);
    uint32_t next = 0;
    if (m.kind == LineKind::kMissed || m.kind == LineKind::kPartial) {
      while (next_missed < missed.size() && missed[next_missed] <= n) ++next_missed;
      next = next_missed < missed.size() ? missed[next_missed] : 0;
    }
    append_mark(out, m, next);
    out += "<td>";
    if (m.kind == LineKind::kPartial) {
      out += "<details><summary>";
      append_escaped(out, lines[n - 1]);
      out += "</summary>";
      append_block_details(out, model, n);
      out += "</details></td></tr>";  // the line feed after it stays out of the cell
    } else {
      append_escaped(out, lines[n - 1]);
    }
    out += '\n';
  }
  out += "</tbody></table></div>\n";
}

}  // namespace

bool write_modern_file_page(const ModernOptions& options, const FileFigures& figures,
                            const CoverageModel& model) {
  std::FILE* in = open_file(figures.name, "rb");
  if (!in) {
    print_err("Error - Cannot open %s!\n", figures.name.c_str());
    return false;
  }
  std::string source = read_rest(in);
  std::fclose(in);
  if (classify_encoding(source) == SourceEncoding::kAnsi) source = cp1252_to_utf8(source);
  const std::vector<std::string_view> lines = split_lines(source);
  const uint32_t last = static_cast<uint32_t>(lines.size());
  const std::vector<LineMark> marks = classify_lines(figures, model, last, options.differential);
  std::vector<uint32_t> missed;
  for (uint32_t n = 1; n <= last; ++n)
    if (marks[n].kind == LineKind::kMissed || marks[n].kind == LineKind::kPartial)
      missed.push_back(n);

  const std::string shown = shown_path(figures.name, options.prefix, options.separator);
  std::string out;
  out.reserve(source.size() * 3 + 4096);
  append_page_head(out, shown + " \xE2\x80\x94 coverage", "file");
  const std::vector<FunctionRow> rows = function_rows(figures, model, options.differential);
  append_header(out, options, figures, shown, missed.empty() ? 0 : missed.front(), marks, rows);
  append_functions(out, options, figures, rows, marks);
  append_source(out, lines, marks, missed, model);
  append_page_foot(out, "vorelcov " + options.version);

  const std::string path = modern_path(options, file_page_name(shown));
  std::FILE* page = output_open(path);
  if (!page) {
    print_err("Cannot open %s for output!\n", path.c_str());
    return false;
  }
  std::fwrite(out.data(), 1, out.size(), page);
  return finish_output(page, path);
}

}  // namespace vorel
