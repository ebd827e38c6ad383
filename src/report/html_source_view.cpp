#include "report/html_source_view.h"

#include <cstdio>
#include <map>
#include <string>

#include "coverage/model.h"
#include "base/diag.h"
#include "base/output.h"
#include "platform/codepage.h"
#include "platform/file_open.h"
#include "platform/output_file.h"
#include "platform/whole_file.h"
#include "report/report_options.h"
#include "report/display_name.h"
#include "report/format.h"
#include "report/html_context.h"
#include "report/html_page.h"
#include "report/html_source_frame.h"
#include "report/html_text.h"
#include "report/page_names.h"
#include "report/source_encoding.h"
#include "report/source_render.h"

namespace vorel {

namespace {

// The name shown for a source file: its display name when the path has a
// directory part, else the path.
std::string shown_name(const std::string& path, const ReportOptions& s) {
  return path.find(s.host.separator) != std::string::npos ? display_name(path, s) : path;
}

void write_head(std::FILE* out, const ReportOptions& s, const FileEntry& entry,
                const std::string& title, bool charset) {
  const std::string name = html_escape(title);
  std::fputs("<html>\n<head>\n", out);
  write_charset_line(out, charset);
  std::fprintf(out, "<title>Listing of %s</title>\n", name.c_str());
  std::fputs("</head>\n<body bgcolor=\"FFFFFF\">\n", out);
  std::fputs("<h4>&#160;&#160;&#160;&#160;&#160;", out);
  std::fprintf(out, "&#160;&#160;&#160;&#160;&#160;&#160;&#160;%s", name.c_str());
  std::fprintf(out,
               "&#160;&#160;&#160;&#160;&#160;&#160;&#160;<font size=-1>%s:&#160 "
               "%5.2f&#160;%%func&#160;&#160;&#160;&#160; %5.2f&#160;%%block</font></h4>\n",
               s.differential ? "miss rate" : "coverage", round_hundredths(entry.function_percent),
               round_hundredths(entry.block_percent));
  std::fprintf(out, "<hr size=%d noshade>\n", 1);
  std::fputs("<pre>\n", out);
}

void write_footer(std::FILE* out, const ReportOptions& s) {
  std::fputs("</pre>\n", out);
  write_owner_footer(out, s);
  std::fputs("</body>\n</html>\n", out);
}

// -ref: the first line of every function of the file and whether it was
// missed (newly covered, so not exercised by the reference run).
std::map<uint32_t, bool> function_starts(const CoverageModel& model) {
  std::map<uint32_t, bool> starts;
  for (const FunctionInfo* f : model.functions.covered()) starts.emplace(f->start_line, false);
  for (const FunctionInfo* f : model.functions.uncovered()) starts.emplace(f->start_line, true);
  return starts;
}

// Renders every line (each with its line feed, NUL bytes included);
// returns the number of lines written, or -1 on failure.
long render(std::string_view source, std::FILE* out, const ReportOptions& s,
            const CoverageModel& model, bool convert) {
  SourceRenderer renderer(out, s, model.files, model.scanner,
                          s.differential ? function_starts(model) : std::map<uint32_t, bool>{});
  uint32_t number = 0;
  for (size_t at = 0; at < source.size();) {
    size_t end = source.find('\n', at);
    end = end == std::string_view::npos ? source.size() : end + 1;
    const std::string_view line = source.substr(at, end - at);
    at = end;
    ++number;
    if (!renderer.render_line(number, convert ? std::string_view(cp1252_to_utf8(line)) : line))
      return -1;
  }
  return number;
}

}  // namespace

bool write_source_view(const PageContext& ctx, const CoverageModel& model) {
  const ReportOptions& s = ctx.options;
  const FileListNode* node = model.files.current_node();
  const FileEntry* entry = model.files.current_entry();
  if (!node || !entry) return false;
  const std::string& path = node->name();
  trace(kTraceSourceView, "Begin OutputLineCoverage for file: %s\n", path.c_str());
  std::FILE* in = open_file(node->source_path(), "rb");
  if (!in) {
    print_err("Error - Cannot open %s!\n", node->source_path().c_str());
    return false;
  }
  const std::string source = read_rest(in);
  const SourceEncoding encoding = classify_encoding(source);
  const std::string page = source_view_name(node->report_name(), s.page_extension, s.host.separator);
  std::FILE* out = output_open(page);
  if (!out) {
    print_err("Cannot open %s for output!\n", page.c_str());
    std::fclose(in);
    return false;
  }
  const std::string title = shown_name(path, s);
  write_head(out, s, *entry, title, encoding != SourceEncoding::kAscii);
  const long lines = render(source, out, s, model, encoding == SourceEncoding::kAnsi);
  if (lines > 0) write_footer(out, s);
  std::fclose(in);
  const bool written = finish_output(out, page);
  trace(kTraceSourceView, "End OutputLineCoverage for file:   %s\n", path.c_str());
  if (lines < 0 || !written) return false;
  return write_source_frame_set(ctx, title, node->report_name(), model.functions);
}

}  // namespace vorel
