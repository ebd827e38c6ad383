#include "report/html_file_list.h"

#include <cstdio>
#include <vector>

#include "coverage/coverage_list.h"
#include "base/diag.h"
#include "report/report_options.h"
#include "report/display_name.h"
#include "report/format.h"
#include "report/html_context.h"
#include "report/html_page.h"
#include "report/html_text.h"
#include "report/page_names.h"
#include "report/sort_orders.h"

namespace vorel {

namespace {

struct ListLayout {
  bool full;            // coverage columns besides the totals
  const char* covered;  // label of the covered-count column
  const char* rate;     // label of the coverage columns
  const char* first_title;
};

ListLayout layout_of(const ReportOptions& s, bool covered) {
  if (s.differential) return {true, "missed", "miss", "miss rate"};
  return {covered, "cvrd", "cvrg", "function coverage"};
}

void write_head(std::FILE* out, const PageContext& ctx, bool covered) {
  const ReportOptions& s = ctx.options;
  std::fputs("<html>\n<head>\n", out);
  write_charset_line(out, ctx.charset_line);
  if (s.project_name)
    std::fprintf(out, "<title>%s for %s</title>\n", kPageTitle, html_escape(*s.project_name).c_str());
  else
    std::fprintf(out, "<title>%s</title>\n", kPageTitle);
  std::fprintf(out, "<base target=\"%s\">\n", "_parent");
  std::fputs("</head>\n\n<body bgcolor=\"FFFFFF\">\n\n", out);
  std::fputs("<h4 ALIGN=\"center\" STYLE=\"font-family:Arial,Helvetica;color:#3366ff\">", out);
  const char* which = covered ? "Covered" : "Uncovered";
  if (s.project_name)
    std::fprintf(out, "%s Files in %s</h4>\n", which, html_escape(*s.project_name).c_str());
  else
    std::fprintf(out, "%s Files</h4>\n", which);
  std::fputs("<ol>\n", out);
}

void write_table_head(std::FILE* out, const ListLayout& l, int order, const std::string& base,
                      const std::string& ext) {
  const SortLinks links = sort_links(order);
  auto page = [&](int n) { return href_path(numbered_name(base, n, ext)); };
  write_list_table_open(out);
  std::fprintf(out,
               "<TH ALIGN=\"left\" ROWSPAN=\"2\"><a target=\"%s\" title=\"sort based on file "
               "name\" href=\"%s\">Name</a></TH>\n",
               "_self", page(links.name).c_str());
  const char* span = l.full ? "3" : "1";
  std::fprintf(out, "<TH ALIGN=\"center\" COLSPAN=\"%s\">Functions</TH>\n", span);
  std::fprintf(out, "<TH ALIGN=\"center\" COLSPAN=\"%s\">Blocks</TH>\n", span);
  std::fputs("</TR>\n<TR BGCOLOR=\"#F0F0F0\">\n", out);
  std::fputs("<TH ALIGN=\"center\">total</TH>\n", out);
  if (l.full) {
    std::fprintf(out, "<TH ALIGN=\"center\">%s</TH>\n", l.covered);
    std::fprintf(out,
                 "<TH ALIGN=\"center\"><a target=\"%s\" title=\"sort based on %s%%\" "
                 "href=\"%s\">%s%%</a></TH>\n",
                 "_self", l.first_title, page(links.first).c_str(), l.rate);
  }
  std::fputs("<TH ALIGN=\"center\">total</TH>\n", out);
  if (l.full) {
    std::fprintf(out, "<TH ALIGN=\"center\">%s</TH>\n", l.covered);
    std::fprintf(out,
                 "<TH ALIGN=\"center\"><a target=\"%s\" title=\"sort based on block "
                 "coverage%%\" href=\"%s\">%s%%</a></TH>\n",
                 "_self", page(links.second).c_str(), l.rate);
  }
  std::fputs("</TR>\n</THEAD>\n<TBODY>\n", out);
}

void write_row(std::FILE* out, const ListLayout& l, const FileEntry& e, const std::string& shown,
               const std::string& ext) {
  std::fputs("<TR ID=DataRow STYLE=\"color:black;font-weight:normal\" BGCOLOR=\"#FFFFFF\">\n", out);
  std::fprintf(out, "<TD ALIGN=\"left\"><a href=\"%s\" title=\"%s\">%s</a></TD>\n",
               href_path(plain_name(e.report_name, ext)).c_str(), html_escape(e.name).c_str(),
               html_escape(shown).c_str());
  std::fprintf(out, "<TD ALIGN=\"right\">%s</TD>\n", group_digits(e.functions).c_str());
  if (l.full) {
    std::fprintf(out, "<TD ALIGN=\"right\">%s</TD>\n", group_digits(e.covered_functions).c_str());
    std::fprintf(out, "<TD ALIGN=\"right\">%6.2f</TD>\n", round_hundredths(e.function_percent));
  }
  std::fprintf(out, "<TD ALIGN=\"right\">%s</TD>\n", group_digits(e.blocks).c_str());
  if (l.full) {
    std::fprintf(out, "<TD ALIGN=\"right\">%s</TD>\n", group_digits(e.covered_blocks).c_str());
    std::fprintf(out, "<TD ALIGN=\"right\">%6.2f</TD>\n", round_hundredths(e.block_percent));
  }
  std::fputs("</TR>\n", out);
}

void write_tail(std::FILE* out, const ReportOptions& s) {
  std::fputs("</TBODY>\n</TABLE>\n</TR>\n</TABLE>\n</ol>\n", out);
  write_owner_footer(out, s);
  std::fputs("</body>\n</html>\n\n", out);
}

}  // namespace

bool write_file_list(const PageContext& ctx, bool covered, int order, const std::string& base,
                     std::span<const FileEntry* const> entries) {
  const ReportOptions& s = ctx.options;
  if (!valid_sort_order(order)) {
    print_err("Invalid sorting option %d\n", order);
    return false;
  }
  const std::string path =
      numbered_dir_name(base, order + 3, s.page_extension, s.host.separator);
  std::FILE* out = std::fopen(path.c_str(), "w");
  if (!out) {
    print_err("Unable to create root html file %s!\n", base.c_str());
    return false;
  }
  const ListLayout layout = layout_of(s, covered);
  write_head(out, ctx, covered);
  std::vector<std::string> shown;
  for (const FileEntry* e : entries) shown.push_back(display_name(e->name, s));
  const std::vector<size_t> sorted = sort_file_indices(entries, shown, order);
  write_table_head(out, layout, order, base, s.page_extension);
  for (size_t i : sorted) write_row(out, layout, *entries[i], shown[i], s.page_extension);
  write_tail(out, s);
  std::fclose(out);
  return true;
}

bool write_file_lists(const PageContext& ctx, bool covered, const std::string& base,
                      std::span<const FileEntry* const> entries) {
  const bool all_orders = covered || ctx.options.differential;
  for (int order : {1, -1, 2, -2, 3, -3}) {
    if (!all_orders && order != 1 && order != -1) break;
    if (!write_file_list(ctx, covered, order, base, entries)) return false;
  }
  return true;
}

}  // namespace vorel
