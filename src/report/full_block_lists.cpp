#include "report/full_block_lists.h"

#include "report/list_format.h"

namespace vorel {

void FullBlockLists::begin_file(const std::string& name) {
  if (text_) write_group_start(text_, ListFormat::kText, kFullListLabel, name);
  if (xml_) write_group_start(xml_, ListFormat::kXml, kFullListLabel, name);
}

void FullBlockLists::function(const BlockListFunction& routine) {
  FunctionRecord record;
  record.name = routine.name;
  record.frequency = routine.frequency;
  record.line = routine.start_line;
  record.blocks = routine.blocks;
  record.covered = routine.covered;
  record.block_list = routine.details;
  if (text_) write_function_record(text_, ListFormat::kText, record);
  if (xml_) write_function_record(xml_, ListFormat::kXml, record);
}

void FullBlockLists::end_file() {
  if (text_) write_group_end(text_, ListFormat::kText);
  if (xml_) write_group_end(xml_, ListFormat::kXml);
}

}  // namespace vorel
