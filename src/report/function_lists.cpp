#include "report/function_lists.h"

#include <memory>

#include "coverage/component.h"
#include "coverage/unwind.h"
#include "coverage/coverage_options.h"
#include "profile/dpi.h"
#include "report/list_format.h"
#include "report/readable_name_adapter.h"
#include "report/routine_blocks.h"

namespace vorel {

namespace {

// The figures of one routine, and whether the list takes it.
bool figures_of(const Component& c, const FunctionListInput& in, bool with_nonexec,
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

bool write_function_list(std::FILE* out, FunctionListKind kind, const FunctionListInput& in) {
  const bool text = kind == FunctionListKind::kTextFunctions || kind == FunctionListKind::kTextBlocks;
  const ListFormat format = text ? ListFormat::kText : ListFormat::kXml;
  const bool with_blocks = kind == FunctionListKind::kTextBlocks || kind == FunctionListKind::kXmlBlocks;
  const bool with_nonexec = with_blocks && in.options.include_nonexec && in.spi_version >= 7;
  const std::vector<Component>& entries = in.components.entries;

  bool group_written = false;
  for (size_t first = 0; first < entries.size(); first = group_end(entries, first)) {
    bool group_started = false;
    for (const Component& c : group_of(entries, first)) {
      if (is_left_out(c)) continue;
      RoutineBlocks figures;
      if (!figures_of(c, in, with_nonexec, figures)) continue;
      if (!group_started) {
        if (group_written) write_group_end(out, format);
        write_group_start(out, format, kCoveredFunctionsLabel, c.file_name);
        group_started = group_written = true;
      }
      FunctionRecord record;
      record.name = list_routine_name(c.proc_name, in.options.demangle, in.options.host);
      record.frequency = figures.frequency;
      record.line = c.start_line;
      record.blocks = figures.blocks;
      record.covered = figures.covered;
      if (with_blocks) record.block_list = figures.block_list;
      write_function_record(out, format, record);
    }
  }
  if (group_written) write_group_end(out, format);
  return true;
}

}  // namespace vorel
