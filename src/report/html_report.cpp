#include "report/html_report.h"

#include <vector>

#include "coverage/model.h"
#include "report/report_options.h"
#include "report/html_context.h"
#include "report/html_file_list.h"
#include "report/html_root.h"
#include "report/html_source_view.h"
#include "report/html_toolbar.h"

namespace vorel {

namespace {

PageContext context(const ReportOptions& options, const CoverageModel& model) {
  return PageContext{options, model.components.non_printable_name};
}

}  // namespace

bool html_write_report_frame(const ReportOptions& options, const CoverageModel& model) {
  return write_toolbar_and_help(context(options, model));
}

bool html_write_source_view(const ReportOptions& options, const CoverageModel& model) {
  return write_source_view(context(options, model), model);
}

bool html_write_file_lists(const ReportOptions& options, const CoverageModel& model,
                           const char* base_name, uint32_t mask) {
  const std::vector<const FileEntry*> files = model.files.get_filenames(mask);
  return write_file_lists(context(options, model), mask == kFileCovered, base_name, files);
}

bool html_write_summary_and_root(const ReportOptions& options, const CoverageModel& model,
                                 const char* root_base, const char* summary_base,
                                 const char* covered_base, const char* uncovered_base) {
  return write_root_frame_set(context(options, model), model.totals, root_base, summary_base,
                              covered_base, uncovered_base);
}

}  // namespace vorel
