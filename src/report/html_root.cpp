#include "report/html_root.h"

#include <cstdio>

#include "coverage/totals.h"
#include "base/diag.h"
#include "report/report_options.h"
#include "report/format.h"
#include "report/html_context.h"
#include "report/html_page.h"
#include "report/html_text.h"
#include "report/page_names.h"

namespace vorel {

namespace {

void write_summary_head(std::FILE* out, bool differential) {
  write_list_table_open(out);
  for (const char* what : {"Files", "Functions", "Blocks"})
    std::fprintf(out, "<TH ALIGN=\"center\" COLSPAN=\"4\">%s</TH>\n", what);
  std::fputs("</TR>\n<TR BGCOLOR=\"#F0F0F0\">\n", out);
  const char* a = differential ? "missed" : "cvrd";
  const char* b = differential ? "similar" : "uncvrd";
  const char* c = differential ? "miss" : "cvrg";
  for (int i = 0; i < 3; ++i) {
    std::fputs("<TH ALIGN=\"center\">total</TH>\n", out);
    std::fprintf(out, "<TH ALIGN=\"center\">%s</TH>\n", a);
    std::fprintf(out, "<TH ALIGN=\"center\">%s</TH>\n", b);
    std::fprintf(out, "<TH ALIGN=\"center\">%s%%</TH>\n", c);
  }
  std::fputs("</TR>\n</THEAD>\n", out);
}

void write_summary_cells(std::FILE* out, int64_t total, int64_t covered) {
  std::fprintf(out, "<TD ALIGN=\"center\">%s</TD>\n", group_digits_signed(total).c_str());
  std::fprintf(out, "<TD ALIGN=\"center\">%s</TD>\n", group_digits_signed(covered).c_str());
  std::fprintf(out, "<TD ALIGN=\"center\">%s</TD>\n", group_digits_signed(total - covered).c_str());
  std::fprintf(out, "<TD ALIGN=\"center\" STYLE=\"font-weight:bold\">%6.2f</TD>\n",
               round_hundredths(percentage(static_cast<double>(covered), static_cast<double>(total))));
}

bool write_summary_page(const PageContext& ctx, const RunTotals& t, const std::string& base) {
  const ReportOptions& s = ctx.options;
  std::FILE* out = std::fopen(dir_name(base, s.page_extension, s.host.separator).c_str(), "w");
  if (!out) {
    print_err("Unable to create root html file %s!\n", base.c_str());
    return false;
  }
  std::fputs("<html>\n<head>\n<title>Coverage Summary</title>\n</head>\n", out);
  std::fputs("<body bgcolor=\"FFFFFF\">\n", out);
  write_title_heading(out, s.project_name);
  write_summary_head(out, s.differential);
  std::fputs("<TBODY>\n", out);
  std::fputs("<TR ID=DataRow STYLE=\"color:black;font-weight:normal\" BGCOLOR=\"#FFFFFF\">\n", out);
  write_summary_cells(out, t.files, t.covered_files);
  write_summary_cells(out, t.functions, t.covered_functions);
  write_summary_cells(out, t.blocks, t.covered_blocks);
  std::fputs("</TR>\n</TBODY>\n</TABLE>\n</TR>\n</TABLE>\n</body>\n</html>\n\n", out);
  std::fclose(out);
  return true;
}

void write_list_frame(std::FILE* out, const char* base, const std::string& ext) {
  std::fprintf(out, "<frame src=\"%s\" scrolling=\"yes\">\n",
               href_path(numbered_dir_name(base, 4, ext, '/')).c_str());
}

bool write_root_page(const PageContext& ctx, const std::string& base,
                     const std::string& summary_base, const char* covered, const char* uncovered) {
  const ReportOptions& s = ctx.options;
  const std::string& ext = s.page_extension;
  std::FILE* out = std::fopen(plain_name(base, ext).c_str(), "w");
  if (!out) {
    print_err("Unable to create root html file %s!\n", base.c_str());
    return false;
  }
  std::fputs("<html>\n<head>\n", out);
  if (s.project_name)
    std::fprintf(out, "<title>%s for %s</title>\n", kPageTitle, html_escape(*s.project_name).c_str());
  else
    std::fprintf(out, "<title>%s</title>\n", kPageTitle);
  std::fputs("</head>\n", out);
  std::fputs(covered || uncovered ? "<frameset rows=\"30%, *\">\n" : "<frameset rows=\"100%, *\">\n",
             out);
  std::fprintf(out, "<frame src=\"%s\" scrolling=\"yes\">\n",
               href_path(dir_name(summary_base, ext, '/')).c_str());
  const bool inner = uncovered != nullptr;
  if (covered && uncovered)
    std::fprintf(out, "<frameset cols=\"%d%%, *\">\n", s.differential ? 50 : 63);
  else if (uncovered)
    std::fprintf(out, "<frameset cols=\"%d%%, *\">\n", 100);
  if (covered) write_list_frame(out, covered, ext);
  if (uncovered) write_list_frame(out, uncovered, ext);
  if (inner) {
    std::fputs("<noframes> Your browser does not have frames support</noframes>\n", out);
    std::fputs("</frameset>\n", out);
  }
  std::fputs("<noframes> Your browser doesn't have frames support</noframes>\n", out);
  std::fputs("</frameset>\n</html>\n", out);
  std::fclose(out);
  return true;
}

}  // namespace

bool write_root_frame_set(const PageContext& ctx, const RunTotals& totals,
                          const std::string& root_base, const std::string& summary_base,
                          const char* covered_base, const char* uncovered_base) {
  return write_summary_page(ctx, totals, summary_base) &&
         write_root_page(ctx, root_base, summary_base, covered_base, uncovered_base);
}

}  // namespace vorel
