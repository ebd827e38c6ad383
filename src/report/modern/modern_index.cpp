#include "report/modern/modern_index.h"

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/diag.h"
#include "base/output.h"
#include "coverage/file_figures.h"
#include "platform/output_file.h"
#include "report/format.h"
#include "report/html_text.h"
#include "report/modern/modern_assets.h"
#include "report/modern/modern_names.h"
#include "report/modern/modern_options.h"
#include "report/modern/modern_page.h"

namespace vorel {

namespace {

// A directory of the shown tree ("" is the top): its totals and children.
struct DirNode {
  FigureTotals totals;
  std::set<std::string> subdirs;           // shown paths, in path order
  std::map<std::string, size_t> files;     // shown path -> index into the files
};

using Tree = std::map<std::string, DirNode>;

void add_totals(FigureTotals& sum, const FigureTotals& t) {
  sum.lines += t.lines;
  sum.covered_lines += t.covered_lines;
  sum.functions += t.functions;
  sum.covered_functions += t.covered_functions;
  sum.blocks += t.blocks;
  sum.covered_blocks += t.covered_blocks;
}

Tree build_tree(const ModernOptions& options, std::span<const ModernFileTotals> files,
                std::vector<std::string>& shown) {
  Tree tree;
  tree[""];
  for (size_t i = 0; i < files.size(); ++i) {
    shown.push_back(shown_path(files[i].name, options.prefix, options.separator));
    const std::vector<std::string> dirs = parent_directories(shown.back());
    add_totals(tree[""].totals, files[i].totals);
    std::string parent;
    for (const std::string& d : dirs) {
      tree[parent].subdirs.insert(d);
      add_totals(tree[d].totals, files[i].totals);
      parent = d;
    }
    tree[parent].files.emplace(shown.back(), i);
  }
  return tree;
}

bool full(const FigureTotals& t) {
  return t.covered_lines == t.lines && t.covered_functions == t.functions &&
         t.covered_blocks == t.blocks;
}

void append_missed_cell(std::string& out, uint64_t covered, uint64_t total) {
  out += "<td class=\"num\" data-v=\"";
  append_decimal(out, total - covered);
  out += "\">";
  append_decimal(out, total - covered);
  out += "</td>";
}

// One row: a link named by the part of the path below `dir`.
void append_row(std::string& out, const ModernOptions& options, const std::string& path,
                size_t cut, const std::string& page, bool is_dir, const FigureTotals& t) {
  out += "<tr data-name=\"";
  append_escaped(out, path);
  out += "\"";
  if (full(t)) out += " data-full=\"1\"";
  out += "><td class=\"name\" data-v=\"";
  append_escaped(out, path);
  out += "\"><a href=\"";
  out += page;
  out += "\">";
  append_escaped(out, std::string_view(path).substr(cut));
  if (is_dir) out += "/";
  out += "</a></td>";
  append_figure_cell(out, options, t.covered_lines, t.lines);
  append_figure_cell(out, options, t.covered_functions, t.functions);
  append_figure_cell(out, options, t.covered_blocks, t.blocks);
  append_missed_cell(out, t.covered_lines, t.lines);
  append_missed_cell(out, t.covered_functions, t.functions);
  append_missed_cell(out, t.covered_blocks, t.blocks);
  out += "</tr>\n";
}

void append_table(std::string& out, const ModernOptions& options, const Tree& tree,
                  const std::string& dir, std::span<const ModernFileTotals> files) {
  const DirNode& node = tree.at(dir);
  const size_t cut = dir.empty() ? 0 : dir.size() + 1;
  out += "<div class=\"scroll\"><table class=\"list\"><thead><tr>"
         "<th data-sort=\"text\">Name</th><th data-sort=\"num\">Lines</th>"
         "<th data-sort=\"num\">Functions</th><th data-sort=\"num\">Blocks</th>"
         "<th data-sort=\"num\">Missed lines</th><th data-sort=\"num\">Missed functions</th>"
         "<th data-sort=\"num\">Missed blocks</th></tr></thead>\n<tbody>\n";
  // Path order: a directory's rows and its files' rows merged by name.
  std::map<std::string, bool> rows;
  for (const std::string& d : node.subdirs) rows.emplace(d, true);
  for (const auto& [path, index] : node.files) rows.emplace(path, false);
  for (const auto& [path, is_dir] : rows) {
    if (is_dir) {
      append_row(out, options, path, cut, directory_page_name(path), true, tree.at(path).totals);
    } else {
      append_row(out, options, path, cut, file_page_name(path), false,
                 files[node.files.at(path)].totals);
    }
  }
  out += "</tbody></table></div>\n";
}

void append_cards(std::string& out, const ModernOptions& options, const FigureTotals& t) {
  out += "<div class=\"cards\">\n";
  append_figure_card(out, options, "Lines", t.covered_lines, t.lines);
  append_figure_card(out, options, "Functions", t.covered_functions, t.functions);
  append_figure_card(out, options, "Blocks", t.covered_blocks, t.blocks);
  out += "</div>\n";
}

void append_legend(std::string& out, const ModernOptions& options) {
  out += "<p class=\"legend\">Rating: <span class=\"pct lo\">below ";
  out += hundredths_text(options.medium);
  out += "&#8201;%</span> &#183; <span class=\"pct med\">from ";
  out += hundredths_text(options.medium);
  out += "&#8201;%</span> &#183; <span class=\"pct hi\">from ";
  out += hundredths_text(options.high);
  out += "&#8201;%</span></p>\n";
}

// "YYYY-MM-DD HH:MM UTC" of seconds since the epoch (the civil calendar
// from the day number, the same on every host and thread).
std::string utc_text(int64_t seconds) {
  const int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
  const int64_t in_day = seconds - days * 86400;
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char text[128];  // room for five 20-digit numbers
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld UTC",
                static_cast<long long>(year), static_cast<long long>(month),
                static_cast<long long>(day), static_cast<long long>(in_day / 3600),
                static_cast<long long>(in_day % 3600 / 60));
  return text;
}

std::string generated_note(const ModernOptions& options) {
  return "Generated by vorelcov " + options.version + " on " + utc_text(options.timestamp);
}

bool write_text(const ModernOptions& options, const std::string& page, std::string_view text) {
  const std::string path = modern_path(options, page);
  std::FILE* out = output_open(path);
  if (!out) {
    print_err("Cannot open %s for output!\n", path.c_str());
    return false;
  }
  std::fwrite(text.data(), 1, text.size(), out);
  return finish_output(out, path);
}

bool write_directory_page(const ModernOptions& options, const Tree& tree, const std::string& dir,
                          std::span<const ModernFileTotals> files, const std::string& note) {
  std::string out;
  const bool top = dir.empty();
  append_page_head(out, top ? std::string("Coverage report") : dir + "/ \xE2\x80\x94 coverage",
                   "dir");
  out += "<nav class=\"crumbs\" id=\"top\">";
  if (top) {
    out += "All files";
  } else {
    out += "<a href=\"index.html\">All files</a>";
    size_t from = 0;
    for (const std::string& d : parent_directories(dir)) {
      out += " / <a href=\"";
      out += directory_page_name(d);
      out += "\">";
      append_escaped(out, std::string_view(d).substr(from));
      out += "</a>";
      from = d.size() + 1;
    }
    out += " / ";
    append_escaped(out, std::string_view(dir).substr(from));
  }
  out += "</nav>\n<h1>";
  if (top)
    out += "Coverage report";
  else
    append_escaped(out, dir + "/");
  out += "</h1>\n";
  append_cards(out, options, tree.at(dir).totals);
  append_legend(out, options);
  append_table(out, options, tree, dir, files);
  append_page_foot(out, note);
  return write_text(options, top ? std::string("index.html") : directory_page_name(dir), out);
}

}  // namespace

bool write_modern_index(const ModernOptions& options, std::span<const ModernFileTotals> files) {
  std::vector<std::string> shown;
  const Tree tree = build_tree(options, files, shown);
  const std::string note = generated_note(options);
  for (const auto& [dir, node] : tree)
    if (!write_directory_page(options, tree, dir, files, note)) return false;
  std::string css(kModernCssText);
  css += bar_width_rules();
  return write_text(options, kModernStyle, css) && write_text(options, kModernScript, kModernJsText);
}

}  // namespace vorel
