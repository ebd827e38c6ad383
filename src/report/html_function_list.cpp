#include "report/html_function_list.h"

#include <cstdio>
#include <strings.h>

#include "coverage/function_table.h"
#include "base/diag.h"
#include "base/output.h"
#include "platform/output_file.h"
#include "report/report_options.h"
#include "report/format.h"
#include "report/html_context.h"
#include "report/html_page.h"
#include "report/html_text.h"
#include "report/page_names.h"
#include "report/sort_orders.h"

namespace vorel {

namespace {

constexpr const char* kViewerPage = "function_tests_viewer.php";

std::string list_base(bool covered, const std::string& report_name) {
  return report_name + (covered ? "_CvrdFncs" : "_UncvrdFncs");
}

void write_head(std::FILE* out, const PageContext& ctx, bool covered, const std::string& title) {
  std::fputs("<html>\n<head>\n", out);
  write_charset_line(out, ctx.charset_line);
  std::fprintf(out, covered ? "<title>Covered Functions of %s</title>\n"
                            : "<title>Uncovered Functions of %s</title>\n",
               html_escape(title).c_str());
  std::fprintf(out, "<base target=\"%s\">\n", "src_view");
  std::fputs("</head>\n<body bgcolor=\"FFFFFF\">\n", out);
  std::fputs(covered ? "<h5 ALIGN=\"left\">covered functions</h5>\n"
                     : "<h5 ALIGN=\"left\">uncovered functions</h5>\n",
             out);
}

void write_table_head(std::FILE* out, bool coverage_layout, bool differential, int order,
                      const std::string& base, const std::string& ext) {
  const SortLinks links = sort_links(order);
  auto page = [&](int n) { return href_path(numbered_name(base, n, ext)); };
  std::fputs("<TABLE BORDER=0 CELLPADDING=3 ", out);
  std::fputs("CELLSPACING=0 STYLE=\"color:black;font-weight:normal;font-family:Verdana,", out);
  std::fputs("Arial;font-size:x-small\">\n<thead>\n", out);
  if (coverage_layout && differential)
    std::fprintf(out,
                 "<TH ALIGN=\"left\" COLSPAN=\"2\"><a target=\"%s\" title=\"sort based on miss "
                 "rate\" href=\"%s\">miss rate</a></TH>\n",
                 "_self", page(links.first).c_str());
  else if (coverage_layout)
    std::fprintf(out,
                 "<TH ALIGN=\"left\" COLSPAN=\"2\"><a target=\"%s\" title=\"sort based on "
                 "coverage\" href=\"%s\">coverage</a></TH>\n",
                 "_self", page(links.first).c_str());
  else
    std::fprintf(out,
                 "<TH ALIGN=\"center\"><a target=\"%s\" title=\"sort based on blocks\" "
                 "href=\"%s\">blocks</a></TH>\n",
                 "_self", page(links.second).c_str());
  std::fprintf(out,
               "<TH ALIGN=\"left\"><a target=\"_self\" title=\"sort based on function name\" "
               "href=\"%s\">function</a></TH>\n",
               page(links.name).c_str());
  std::fputs("</thead>\n", out);
}

// The "Tests" cell: a link to the test database's viewer for the function.
void write_tests_cell(std::FILE* out, const ReportOptions& s, const FunctionInfo& f) {
  const std::string host = html_escape(s.qst_host);
  const std::string name = url_query_value(f.proc_name);
  const std::string db = url_query_value(s.qst_db_name);
  std::fputs("<td align=\"center\">", out);
  if (strncasecmp(s.qst_host.c_str(), "http://", 7) == 0)
    std::fprintf(out, "<a target=\"_new\" href=\"%s/%s?function_name=%s&dbName=%s", host.c_str(),
                 kViewerPage, name.c_str(), db.c_str());
  else
    std::fprintf(out, "<a target=\"_new\" href=\"http://%s/%s?function_name=%s&dbName=%s",
                 host.c_str(), kViewerPage, name.c_str(), db.c_str());
  if (s.qst_db_project)
    std::fprintf(out, "&project_name=%s", url_query_value(*s.qst_db_project).c_str());
  std::fputs("\" title=\"all cover tests\">Tests</a></td>", out);
}

// One row, gathered in `row` and written at once (the tests cell, an
// option seldom given, goes straight to the stream).
void write_row(std::FILE* out, const ReportOptions& s, bool coverage_layout, const FunctionInfo& f,
               const std::string& view, std::string& row) {
  row.assign("<TR>\n");
  if (coverage_layout) {
    char percent[32];
    std::snprintf(percent, sizeof percent, "%6.2f", round_hundredths(f.block_percent));
    row += "<td align=\"right\">";
    row += percent;
    row += "</td><td align=\"center\">(";
    append_decimal(row, f.covered_blocks);
    row += '/';
    append_decimal(row, f.blocks);
    row += ")</td>\n";
  } else {
    row += "<td align=\"center\">";
    append_decimal(row, f.blocks);
    row += "</td>\n";
  }
  const uint32_t anchor = f.start_line < 6 ? f.start_line : f.start_line - 5;
  row += "<td align=\"left\"><a href=\"";
  row += view;
  row += "#l";
  append_decimal(row, anchor);
  row += "\" title=\"Line ";
  append_decimal(row, f.start_line);
  row += "\">";
  std::string_view name = f.readable_name;
  if (s.host.drop_underscore && !name.empty() && name[0] == '_') name.remove_prefix(1);
  row += function_name_text(name).c_str();  // as fputs wrote it: up to a NUL byte
  row += "</a></td>\n";
  std::fwrite(row.data(), 1, row.size(), out);
  if (s.qst_links) write_tests_cell(out, s, f);
  std::fputs("</tr>\n", out);
}

}  // namespace

std::vector<int> function_list_orders(bool covered, bool differential) {
  if (covered || differential) return {1, -1, 2, -2};
  return {1, -1, 3, -3};
}

bool write_function_list(const PageContext& ctx, bool covered, int order,
                         const std::string& file_title, const std::string& report_name,
                         std::vector<const FunctionInfo*> functions) {
  const ReportOptions& s = ctx.options;
  if (s.no_html) return true;
  if (!valid_sort_order(order)) {
    print_err("Invalid sorting option %d\n", order);
    return false;
  }
  const std::string base = list_base(covered, report_name);
  const std::string& ext = s.page_extension;
  const std::string path = numbered_dir_name(base, order + 3, ext, s.host.separator);
  std::FILE* out = output_open(path);
  if (!out) {
    print_err("Cannot open %s for output!\n", path.c_str());
    return false;
  }
  const bool coverage_layout = covered || s.differential;
  write_head(out, ctx, covered, file_title);
  write_table_head(out, coverage_layout, s.differential, order, base, ext);
  sort_functions(functions, order);
  std::fputs("<tbody>\n", out);
  const std::string view = href_path(source_view_name(report_name, ext));
  std::string row;
  for (const FunctionInfo* f : functions) write_row(out, s, coverage_layout, *f, view, row);
  std::fputs("</tbody>\n</table>\n</body>\n</html>\n", out);
  return finish_output(out, path);
}

}  // namespace vorel
