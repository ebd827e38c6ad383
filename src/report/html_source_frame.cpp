#include "report/html_source_frame.h"

#include <cstdio>
#include <vector>

#include "coverage/function_table.h"
#include "base/diag.h"
#include "report/report_options.h"
#include "report/html_context.h"
#include "report/html_function_list.h"
#include "report/html_page.h"
#include "report/html_text.h"
#include "report/page_names.h"

namespace vorel {

namespace {

bool write_lists(const PageContext& ctx, bool covered, const std::string& title,
                 const std::string& report_name, const std::vector<const FunctionInfo*>& fns) {
  if (fns.empty()) return true;
  for (int order : function_list_orders(covered, ctx.options.differential))
    if (!write_function_list(ctx, covered, order, title, report_name, fns)) return false;
  return true;
}

void write_list_frame(std::FILE* out, const std::string& base, const std::string& ext) {
  std::fprintf(out, "<frame src=\"%s\" scrolling=\"yes\">\n",
               href_path(plain_name(base, ext)).c_str());
}

}  // namespace

bool write_source_frame_set(const PageContext& ctx, const std::string& file_title,
                            const std::string& report_name, const FunctionTables& functions) {
  const ReportOptions& s = ctx.options;
  const std::string& ext = s.page_extension;
  const std::vector<const FunctionInfo*> covered = functions.covered();
  const std::vector<const FunctionInfo*> uncovered = functions.uncovered();
  if (!write_lists(ctx, true, file_title, report_name, covered) ||
      !write_lists(ctx, false, file_title, report_name, uncovered))
    return false;

  std::FILE* out = std::fopen(dir_name(report_name, ext, s.host.separator).c_str(), "w");
  if (!out) {
    print_err("Unable to create root html file %s!\n", file_title.c_str());
    return false;
  }
  std::fputs("<html>\n<head>\n", out);
  write_charset_line(out, ctx.charset_line);
  std::fprintf(out, "<title>%s for %s</title>\n", kPageTitle, html_escape(file_title).c_str());
  std::fputs("</head>\n<frameset cols=\"25%, *\">\n", out);
  if (!covered.empty() && !uncovered.empty())
    std::fputs("<frameset rows=\"10%, 40%, *\">\n", out);
  else if (!covered.empty() || !uncovered.empty())
    std::fputs("<frameset rows=\"10%, *\">\n", out);
  else
    std::fputs("<frameset rows=\"100%, *\">\n", out);
  std::fprintf(out, "<frame src=\"%s\" scrolling=\"no\">\n",
               href_path(plain_name("__ToolBar", ext)).c_str());
  if (!covered.empty()) write_list_frame(out, report_name + "_CvrdFncs_4", ext);
  if (!uncovered.empty()) write_list_frame(out, report_name + "_UncvrdFncs_4", ext);
  std::fputs("<noframes> Your browser does not have frames support</noframes>\n", out);
  std::fputs("</frameset>\n", out);
  std::fprintf(out, "<frame name=\"%s\" src=\"%s\" scrolling=\"yes\">\n", "src_view",
               href_path(source_view_name(report_name, ext)).c_str());
  std::fputs("<noframes> Your browser doesn't have frames support</noframes>\n", out);
  std::fputs("</frameset>\n</html>\n", out);
  std::fclose(out);
  return true;
}

}  // namespace vorel
