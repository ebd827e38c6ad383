// The text summary table of the line-coverage pass (CODE_COVERAGE.TXT).
//
// The run totals of files, functions, blocks and lines, then one table of the
// covered files and one of the uncovered files, each ordered by display name
// and written only when it has rows.
#pragma once

#include <span>

namespace vorel {

struct FileEntry;
struct RunTotals;
struct ReportOptions;

// Writes the table to the plain report name of `base_name` and `extension`
// in the current directory ("Code_Coverage", "txt" -> CODE_COVERAGE.TXT).
// When the file cannot be created it prints
// "Unable to create summary file, <base_name>!" and the run goes on.
void write_summary_table(const char* base_name, const char* extension, const RunTotals& totals,
                         std::span<const FileEntry* const> covered,
                         std::span<const FileEntry* const> uncovered, const ReportOptions& options);

}  // namespace vorel
