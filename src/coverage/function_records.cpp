#include "coverage/function_records.h"

#include <memory>

#include "coverage/component.h"
#include "coverage/coverage_options.h"
#include "coverage/routine_figures.h"
#include "coverage/unwind.h"
#include "profile/dpi.h"
#include "profile/line_holder.h"

namespace vorel {

namespace {

// The figures of one routine, and whether the list takes it.
bool figures_of(const Component& c, const FunctionRecordsInput& in, bool with_nonexec,
                RoutineBlocks& figures) {
  const CoverageOptions& s = in.options;
  std::unique_ptr<DpiRoutine> record = dpi_match_by_name(in.dpi, c.file_name, c.proc_name);
  if (routine_executed(record.get())) {
    if (!s.no_unwind) unwind_clone_pass(*record);
    figures = blocks_of_record(*record, c.start_line, c.counted_blocks,
                               BlockRules{s.no_unwind, s.no_partial});
    return figures.covered >= 1;
  }
  if (!with_nonexec) return false;
  figures = blocks_not_executed(record.get(), c.line_maps, c.counted_blocks);
  return true;
}

}  // namespace

void for_each_function_record(const FunctionRecordsInput& in, bool with_blocks,
                              const FunctionRecordVisit& visit) {
  const bool with_nonexec = with_blocks && in.options.include_nonexec && in.spi_version >= 7;
  for (const Component& c : in.components.entries) {
    if (is_left_out(c) || is_line_holder_name(c.proc_name)) continue;
    RoutineBlocks figures;
    if (figures_of(c, in, with_nonexec, figures)) visit(c, figures);
  }
}

}  // namespace vorel
