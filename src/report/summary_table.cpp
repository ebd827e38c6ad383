#include "report/summary_table.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "coverage/coverage_list.h"
#include "coverage/totals.h"
#include "base/diag.h"
#include "report/report_options.h"
#include "report/display_name.h"
#include "report/format.h"
#include "report/page_names.h"

namespace vorel {

namespace {

// A percentage as the table prints it: rounded half up to hundredths.
double shown(double percent) { return round_hundredths(percent); }

void write_spaces(std::FILE* out, long n) {
  for (long i = 0; i < n; ++i) std::fputc(' ', out);
}

// `caption` is written as it stands.
void write_totals_block(std::FILE* out, const char* caption, int64_t total, int64_t covered) {
  std::fputs(caption, out);
  std::fprintf(out, "             -----     ----   ------  ------\n");
  std::fprintf(out, "          %8s ", group_digits_signed(total).c_str());
  std::fprintf(out, "%8s ", group_digits_signed(covered).c_str());
  std::fprintf(out, "%8s ", group_digits_signed(total - covered).c_str());
  std::fprintf(out, " %6.2f\n\n",
               shown(percentage(static_cast<double>(covered), static_cast<double>(total))));
}

void write_totals(std::FILE* out, const RunTotals& t) {
  std::fprintf(out, "                    Coverage Summary\n");
  std::fprintf(out, "                    ----------------\n\n");
  write_totals_block(out, "Files:       total     cvrd   uncvrd   cvrg%\n", t.files,
                     t.covered_files);
  write_totals_block(out, "\nFunctions:   total     cvrd   uncvrd   cvrg%\n", t.functions,
                     t.covered_functions);
  write_totals_block(out, "\nBlocks:      total     cvrd   uncvrd   cvrg%\n", t.blocks,
                     t.covered_blocks);
  write_totals_block(out, "\nLines:       total     cvrd   uncvrd   cvrg%\n", t.lines,
                     t.covered_lines);
}

// The rule line and the centred title of a file table.
void write_section_title(std::FILE* out, const char* title, const char* underline) {
  std::fprintf(out, "\n\n%s\n\n", std::string(116, '-').c_str());
  std::fprintf(out, "                          %s\n", title);
  std::fprintf(out, "                          %s\n\n", underline);
}

// Name column width: the longest stored name plus 5.
long name_width(std::span<const FileEntry* const> files) {
  size_t longest = 0;
  for (const FileEntry* f : files) longest = std::max(longest, f->name.size());
  return static_cast<long>(longest) + 5;
}

// The files ordered by display name, ascending byte-wise; equal display
// names keep the order of the coverage list.
std::vector<const FileEntry*> by_display_name(std::span<const FileEntry* const> files,
                                              const ReportOptions& options) {
  std::vector<std::pair<std::string, const FileEntry*>> keyed;
  keyed.reserve(files.size());
  for (const FileEntry* f : files) keyed.emplace_back(display_name(f->name, options), f);
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<const FileEntry*> sorted;
  sorted.reserve(keyed.size());
  for (const auto& k : keyed) sorted.push_back(k.second);
  return sorted;
}

// The stored name padded to the name column.
void write_row_name(std::FILE* out, const FileEntry& f, long width) {
  std::fprintf(out, "%s", f.name.c_str());
  write_spaces(out, width - static_cast<long>(f.name.size()) - 1);
}

void write_covered_table(std::FILE* out, std::span<const FileEntry* const> files,
                         const ReportOptions& options) {
  const long w = name_width(files);
  write_section_title(out, "Covered Files", "-------------");
  std::fprintf(out, "Name ");
  write_spaces(out, w + 3);
  std::fprintf(out, "Functions                       Blocks                        Lines\n");
  std::fprintf(out, "---- ");
  write_spaces(out, w + 3);
  std::fprintf(out, "---------                       ------                        -----\n");
  write_spaces(out, w);
  std::fprintf(out, "  total    cvrd     cvrg%%       total    cvrd     cvrg%%       total    "
                    "cvrd     cvrg%%\n");
  write_spaces(out, w);
  std::fprintf(out, "-------- --------   -----     -------- --------   -----     -------- "
                    "--------   -----\n");
  for (const FileEntry* f : by_display_name(files, options)) {
    write_row_name(out, *f, w);
    std::fprintf(out, " %8s", group_digits(f->functions).c_str());
    std::fprintf(out, " %8s", group_digits(f->covered_functions).c_str());
    std::fprintf(out, "  %6.2f", shown(f->function_percent));
    std::fprintf(out, "     %8s", group_digits(f->blocks).c_str());
    std::fprintf(out, " %8s", group_digits(f->covered_blocks).c_str());
    std::fprintf(out, "  %6.2f", shown(f->block_percent));
    std::fprintf(out, "     %8s", group_digits(f->lines).c_str());
    std::fprintf(out, " %8s", group_digits(f->covered_lines).c_str());
    std::fprintf(out, "  %6.2f", shown(f->line_percent));
    std::fprintf(out, "\n");
  }
}

void write_uncovered_table(std::FILE* out, std::span<const FileEntry* const> files,
                           const ReportOptions& options) {
  const long w = name_width(files);
  write_section_title(out, "Uncovered Files", "---------------");
  std::fprintf(out, "Name ");
  write_spaces(out, w - 6);
  std::fprintf(out, "Functions      Blocks        Lines\n");
  std::fprintf(out, "---- ");
  write_spaces(out, w - 6);
  std::fprintf(out, "---------      ------        -----\n");
  write_spaces(out, w);
  std::fprintf(out, "  total        total        total\n");
  write_spaces(out, w);
  std::fprintf(out, "--------     --------      -------\n");
  for (const FileEntry* f : by_display_name(files, options)) {
    write_row_name(out, *f, w);
    std::fprintf(out, " %8s", group_digits(f->functions).c_str());
    std::fprintf(out, "     %8s", group_digits(f->blocks).c_str());
    std::fprintf(out, "     %8s", group_digits(f->lines).c_str());
    std::fprintf(out, "\n");
  }
}

}  // namespace

void write_summary_table(const char* base_name, const char* extension, const RunTotals& totals,
                         std::span<const FileEntry* const> covered,
                         std::span<const FileEntry* const> uncovered, const ReportOptions& options) {
  const std::string name = plain_name(base_name, extension);
  std::FILE* out = std::fopen(name.c_str(), "w");
  if (!out) {
    print_err("Unable to create summary file, %s!\n", base_name);
    return;
  }
  write_totals(out, totals);
  if (!covered.empty()) write_covered_table(out, covered, options);
  if (!uncovered.empty()) write_uncovered_table(out, uncovered, options);
  std::fclose(out);
}

}  // namespace vorel
