// JSON summary writer: one object per file in processing order, then the
// totals. Percentages are rounded half up to hundredths, as the totals table
// shows them.
#include <cstdio>

#include "coverage/file_figures.h"
#include "report/ext_text.h"
#include "report/extension_outputs.h"
#include "report/format.h"

namespace vorel {

namespace {

void write_figure(std::FILE* out, const char* key, uint64_t total, uint64_t covered,
                  const char* tail) {
  std::fprintf(out, "\"%s\": {\"total\": %llu, \"covered\": %llu, \"percent\": %.2f}%s", key,
               static_cast<unsigned long long>(total), static_cast<unsigned long long>(covered),
               round_hundredths(figures_percent(covered, total)), tail);
}

// The branches object is there when the run has branch arcs at all.
void write_figures(std::FILE* out, const FigureTotals& t, bool with_branches) {
  write_figure(out, "lines", t.lines, t.covered_lines, ", ");
  write_figure(out, "functions", t.functions, t.covered_functions, ", ");
  write_figure(out, "blocks", t.blocks, t.covered_blocks, "");
  if (with_branches) {
    std::fputs(", ", out);
    write_figure(out, "branches", t.branches, t.covered_branches, "");
  }
}

}  // namespace

bool write_json_summary(std::FILE* out, std::span<const FileFigures> files,
                        const ExtensionReportInfo& info) {
  std::fprintf(out, "{\n  \"tool\": \"vorelcov\",\n  \"version\": \"%s\",\n  \"files\": [",
               json_text(info.version).c_str());
  FigureTotals total;
  for (const FileFigures& file : files) total.add(file);
  const bool with_branches = total.branches > 0;
  const char* separator = "\n";
  for (const FileFigures& file : files) {
    FigureTotals one;
    one.add(file);
    std::fprintf(out, "%s    {\"name\": \"%s\", ", separator, json_text(file.name).c_str());
    write_figures(out, one, with_branches);
    std::fputs("}", out);
    separator = ",\n";
  }
  std::fprintf(out, "%s  ],\n  \"totals\": {\"files\": %zu, ", files.empty() ? "" : "\n",
               files.size());
  write_figures(out, total, with_branches);
  std::fputs("}\n}\n", out);
  return std::ferror(out) == 0;
}

}  // namespace vorel
