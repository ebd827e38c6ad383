#include "report/html_toolbar.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "base/diag.h"
#include "report/report_options.h"
#include "report/html_context.h"
#include "report/html_help.h"
#include "report/html_page.h"
#include "report/html_text.h"
#include "report/page_names.h"
#include "report/report_images.h"

namespace vorel {

namespace {

bool write_images(const ReportOptions& s) {
  for (const ReportImage& image : report_images()) {
    const std::string path = std::string(kReportDirectory) + s.host.separator + image.name;
    if (write_image_file(image, path)) continue;
    if (std::strcmp(image.name, kHomeIcon) == 0 || std::strcmp(image.name, kHelpIcon) == 0)
      print_err("Unable to create the Home Icon %s!\n", path.c_str());
    else if (std::strcmp(image.name, kLogo) == 0)
      print_err("Unable to create Vorel Logo %s!\n", path.c_str());
    else
      print_err("Unable to create Spacer image %s!\n", path.c_str());
    return false;
  }
  return true;
}

void write_toolbar(std::FILE* out, const PageContext& ctx) {
  const std::string& ext = ctx.options.page_extension;
  std::fputs("<html>\n<head>\n", out);
  write_charset_line(out, ctx.charset_line);
  std::fputs("<base target=\"_parent\">\n</head>\n<body bgcolor=\"FFFFFF\">\n", out);
  std::fputs("<table border=0 cellpadding=3 cellspacing=0>\n<tr>\n<td>\n", out);
  std::fprintf(out, "<a href=\"../%s\" title=\"Coverage Summary\"><img src=\"%s\" %s></a>\n",
               plain_name("Code_Coverage", ext).c_str(), kHomeIcon, "border=\"0\"");
  std::fputs("</td>\n<td>\n", out);
  std::fprintf(out, "<a target=\"_new\" href=\"../%s\" title=\"Help\"><img src=\"%s\" %s></a>\n",
               dir_name("__Help", ext, '/').c_str(), kHelpIcon, "border=\"0\"");
  std::fputs("</td>\n", out);
  std::fputs("<td width=\"100%\" align=\"right\">\n", out);
  std::fprintf(out, "<a target=\"_new\" href=\"%s\">", kMakerSite);
  std::fprintf(out, "<img src=\"%s\" %s></a>\n", kLogo, "border=\"0\"");
  std::fputs("</td>\n</tr>\n</table>\n</body>\n</html>\n", out);
}

}  // namespace

bool write_toolbar_and_help(const PageContext& ctx) {
  const ReportOptions& s = ctx.options;
  const std::string path = dir_name("__ToolBar", s.page_extension, s.host.separator);
  std::FILE* out = std::fopen(path.c_str(), "w");
  if (!out) {
    print_err("Unable to create ToolBar file!\n");
    return false;
  }
  if (!write_images(s) || !write_help_page(ctx)) {
    std::fclose(out);
    return false;
  }
  write_toolbar(out, ctx);
  std::fclose(out);
  return true;
}

}  // namespace vorel
