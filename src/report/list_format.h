// Record formats of the text and XML coverage lists: function records with
// their block lists, file groups, and the XML project element.
//
// One set of writers serves every list; the format is a parameter. Text
// lists write names as they are; XML lists escape them as attribute text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <span>
#include <string_view>

#include "coverage/block_list_sink.h"

namespace vorel {

enum class ListFormat { kText, kXml };

struct FunctionRecord {
  std::string name;
  uint64_t frequency = 0;  // entry frequency
  uint32_t line = 0;       // first source line; 0 when unknown (XML only)
  uint32_t blocks = 0;
  uint32_t covered = 0;
  // Block list in source order, or none. Consecutive blocks at the same
  // position are the instances of one block position.
  std::optional<std::span<const BlockDetail>> block_list;
};

// A function record with its block list, when it has one.
void write_function_record(std::FILE* out, ListFormat format, const FunctionRecord& record);

// Start of a file group: text "<label> "<name>"\n"; XML the module start
// (the label is not used).
void write_group_start(std::FILE* out, ListFormat format, const char* label,
                       std::string_view name);
// End of a file group: text "\n"; XML "</MODULE>\n".
void write_group_end(std::FILE* out, ListFormat format);

// The XML head and tail of a list: the project element with the project
// name, or "(null)" when there is none.
void write_xml_head(std::FILE* out, const std::optional<std::string>& project);
void write_xml_tail(std::FILE* out);

// Writes `text` as XML attribute text (" & ' < > escaped).
void write_xml_attribute(std::FILE* out, std::string_view text);

// Labels of the file groups.
inline constexpr const char* kCoveredFunctionsLabel = "Covered Functions in File:";
inline constexpr const char* kFullListLabel = "file -";

}  // namespace vorel
