#include "report/function_lists.h"

#include <string>

#include "coverage/component.h"
#include "coverage/function_records.h"
#include "coverage/routine_figures.h"
#include "report/list_format.h"
#include "report/readable_name_adapter.h"
#include "report/report_options.h"

namespace vorel {

bool write_function_list(std::FILE* out, FunctionListKind kind, const FunctionRecordsInput& in,
                         const ReportOptions& options) {
  const bool text = kind == FunctionListKind::kTextFunctions || kind == FunctionListKind::kTextBlocks;
  const ListFormat format = text ? ListFormat::kText : ListFormat::kXml;
  const bool with_blocks = kind == FunctionListKind::kTextBlocks || kind == FunctionListKind::kXmlBlocks;

  // A source file's group opens with its first listed routine; the file
  // names of the component list are contiguous.
  bool group_written = false;
  std::string group_file;
  for_each_function_record(in, with_blocks, [&](const Component& c, const RoutineBlocks& figures) {
    if (!group_written || c.file_name != group_file) {
      if (group_written) write_group_end(out, format);
      write_group_start(out, format, kCoveredFunctionsLabel, c.file_name);
      group_written = true;
      group_file = c.file_name;
    }
    FunctionRecord record;
    record.name = list_routine_name(c.proc_name, options.demangle, options.host);
    record.frequency = figures.frequency;
    record.line = c.start_line;
    record.blocks = figures.blocks;
    record.covered = figures.covered;
    if (with_blocks) record.block_list = figures.block_list;
    write_function_record(out, format, record);
  });
  if (group_written) write_group_end(out, format);
  return true;
}

}  // namespace vorel
