// The HTML report mode as the run driver drives it: the fixed pages before
// the per-file loop, one source view per computed file, and the file lists,
// totals summary and root frame set after it.
#pragma once

#include <cstdint>

namespace vorel {

struct ReportOptions;
struct CoverageModel;

// Toolbar page, the four images and the help page (the report directory
// exists already).
bool html_write_report_frame(const ReportOptions& options, const CoverageModel& model);

// Source view, function lists and frame set of the file just computed.
bool html_write_source_view(const ReportOptions& options, const CoverageModel& model);

// Every page of the covered (mask 4) or uncovered (mask 2) file list.
bool html_write_file_lists(const ReportOptions& options, const CoverageModel& model,
                           const char* base_name, uint32_t mask);

// Totals summary and root frame set; a list base is nullptr when that list
// is empty.
bool html_write_summary_and_root(const ReportOptions& options, const CoverageModel& model,
                                 const char* root_base, const char* summary_base,
                                 const char* covered_base, const char* uncovered_base);

}  // namespace vorel
