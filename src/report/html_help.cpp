#include "report/html_help.h"

#include <cstdio>
#include <string>

#include "base/diag.h"
#include "coverage/position_state.h"
#include "report/report_options.h"
#include "report/html_context.h"
#include "report/html_page.h"
#include "report/html_text.h"
#include "report/page_names.h"

namespace vorel {

namespace {

void write_head(std::FILE* out) {
  std::fputs("<html>\n<head>\n<title>\n", out);
  std::fprintf(out, "%s on-line help\n", html_escape(tool_title()).c_str());
  std::fputs("</title>\n<base target=\"src_view\">\n</head>\n", out);
  std::fputs("<body STYLE=\"color:black;font-weight:normal;\n", out);
  std::fputs("font-family:Verdana,Arial;font-size:x-small\" bgcolor=\"FFFFFF\">\n", out);
  std::fprintf(out, "<a target=\"_new\" href=\"%s\">", kMakerSite);
  std::fprintf(out, "<img src=\"%s\" border=\"0\"></a><BR>\n", kLogo);
}

void write_welcome(std::FILE* out) {
  const std::string title = html_escape(tool_title());
  std::fputs("\n<h4 ALIGN=\"left\" style=\"color:#3366ff\">\n", out);
  std::fprintf(out, "Welcome to %s.\n", title.c_str());
  std::fputs("</h4>\n<p>\n", out);
  std::fprintf(out, "%s creates HTML files that indicate \n", title.c_str());
  std::fputs("which portions of your source code were exercised by the test runs of the\n"
             "instrumented binaries. It reads the profile that those runs produced and shows\n"
             "how well a training workload covers the critical code of your application.\n"
             "</p>\n",
             out);
}

void write_color_row(std::FILE* out, const std::string& color, const char* label,
                     const char* meaning) {
  std::fputs("<TR>\n", out);
  std::fprintf(out, "<TD BGCOLOR=\"%s\">%s</TD>\n", html_escape(color).c_str(), label);
  std::fprintf(out, "<TD BGCOLOR=\"#FFFFFF\">%s</TD>\n", meaning);
  std::fputs("</TR>\n", out);
}

void write_coloring(std::FILE* out, const ReportOptions& s) {
  std::fputs("\n<h5 ALIGN=\"left\" style=\"color:#3366ff\">Coloring Scheme</h5>\n", out);
  std::fputs("<p>\nThe source views tell covered code, uncovered basic blocks, uncovered\n"
             "functions and partially-covered code apart by their background colour. Each\n"
             "colour can be set to any HTML colour name or code on the command line; the\n"
             "table shows the settings of this run.\n</p>\n",
             out);
  std::fputs("<TABLE BORDER=\"0\" CELLSPACING=\"0\" CELLPADDING=\"0\"><TR>\n", out);
  std::fprintf(out, "<IMG SRC=\"%s\" WIDTH=\"15\" HEIGHT=\"2\">", kSpacer);
  std::fputs("<TD BGCOLOR=\"#FF9900\">\n", out);
  std::fputs("<TABLE BORDER=\"0\" CELLSPACING=\"1\" CELLPADDING=\"4\" \n", out);
  std::fputs("STYLE=\"font-family:Verdana,Arial;font-size:x-small\">\n<TR>\n", out);
  std::fputs("<TD ALIGN=\"center\" BGCOLOR=\"#F0F0F0\" WIDTH=\"25%\"><B>Color</B></TD>\n", out);
  std::fputs("<TD ALIGN=\"center\" BGCOLOR=\"#F0F0F0\"><B>Meaning</B></TD>\n</TR>\n", out);
  write_color_row(out, s.color(kColorCovered), "Covered code",
                  "Code that was exercised by the tests.");
  write_color_row(out, s.color(kColorUncoveredBlock), "Uncovered basic block",
                  "Basic blocks that were not exercised, within functions that were executed.");
  write_color_row(out, s.color(kColorUncoveredFunction), "Uncovered function",
                  "Functions that were never called during the tests.");
  write_color_row(out, s.color(kColorPartial), "Partially-covered code",
                  "More than one basic block was generated for this position; some of them "
                  "were covered and some were not.");
  if (s.markers_in_use)
    write_color_row(out, s.color(kColorNotFeasible), "Infeasible code",
                    "Code marked as infeasible; it is ignored in the coverage analysis.");
  write_color_row(out, s.color(kColorUnknown), "Unknown",
                  "No code was generated for this position (a comment, a header inclusion or "
                  "a declaration).");
  std::fputs("</TABLE>\n</TD>\n</TR>\n</TABLE>\n", out);
}

void write_counters(std::FILE* out) {
  std::fputs("\n<h5 ALIGN=\"left\" style=\"color:#3366ff\">Dynamic Counters</h5>\n", out);
  std::fputs("<p>\nWith the -counts option the execution counts are shown under the code: a\n"
             "<B>^</B> sign marks the position where a basic block begins, and the number\n"
             "after it tells how often the block was executed. Where several blocks begin at\n"
             "one position, the numbers of executed and generated blocks follow in\n"
             "parentheses. For example, ^ 1000 (8/10) means that ten blocks \n"
             "were generated for the position, eight of them were executed, and together\n"
             "they were executed 1000 times.\n</p>\n",
             out);
}

void write_summaries(std::FILE* out) {
  std::fputs("\n<h5 ALIGN=\"left\" style=\"color:#3366ff\">Coverage Summary</h5>\n", out);
  std::fputs("<p>\nThe top-level summary lists the selected modules with their total numbers of\n"
             "functions and blocks and the covered portions of each. Click a column title to\n"
             "sort the list by block coverage, function coverage or name, in ascending or\n"
             "descending order.\n</p>\n",
             out);
  std::fputs("<p>\nEach source view carries the uncovered and the covered functions of its file\n"
             "in two frames on the left. The uncovered functions can be sorted by their\n"
             "number of blocks, the covered functions by their block coverage, and both by\n"
             "function name; click a function to see its code.\n</p>\n",
             out);
}

}  // namespace

bool write_help_page(const PageContext& ctx) {
  const ReportOptions& s = ctx.options;
  const std::string path = dir_name("__Help", s.page_extension, s.host.separator);
  std::FILE* out = std::fopen(path.c_str(), "w");
  if (!out) {
    print_err("Unable to create On-Line Help!\n");
    return false;
  }
  write_head(out);
  write_welcome(out);
  write_coloring(out, s);
  write_counters(out);
  write_summaries(out);
  std::fputs("\n</body>\n</html>\n", out);
  std::fclose(out);
  return true;
}

}  // namespace vorel
