// The component list: the routines of interest, grouped by source file.
//
// One `component` per routine of the static profile file whose source file
// passes the component filter. The list is sorted by source file, readable
// name and routine name, de-duplicated, and given report names; a source
// file's routines form one contiguous group that the per-file loop walks.
// Every string is an owned copy: the static reader's buffers change on the
// next routine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/pod_arena.h"
#include "coverage/block_line_map.h"
#include "profile/name_arena.h"
#include "profile/spi.h"

namespace vorel {

struct CoverageOptions;
struct HostRules;
class ComponentFilter;

struct Component {
  uint32_t start_line = 0;
  uint16_t start_column = 0;
  uint32_t end_line = 0;            // 0 when unknown
  uint16_t end_column = 0;
  bool has_line_map_handle = false;       // the static file carries line maps (v7+)
  std::span<const BlockLineMap> line_maps;  // in the list's arenas; empty when the routine has none
  uint32_t counted_blocks = 0;      // static block count minus extra_blocks
  uint32_t extra_blocks = 0;        // the record's second block count
  bool first_in_file = false;
  bool ambiguous = false;           // same start line and readable name, other proc_name
  bool newly_covered = false;       // -ref: ran now, not in the reference
  // The names are views into the list's name arena (ComponentList::names),
  // each NUL-terminated (data() is a C string): a file's path and report
  // name are stored once for all its routines.
  std::optional<std::string_view> readable_name;  // missing: the routine is left out
  std::string_view file_name;        // normalised source path, the grouping key
  std::string_view report_name;      // base of the file's report page names
  std::string_view proc_name;        // the routine's name in the profile files
};

struct ComponentList {
  std::vector<Component> entries;   // sorted, de-duplicated; groups contiguous
  bool non_printable_name = false;  // some file_name holds a non-printable byte
  NameArena names;                  // the entries' names
  PodArena<BlockLineMap> line_maps;  // the entries' line maps ...
  PodArena<uint32_t> lines;          // ... and the lines they list
};

// Reads every routine of `spi`, keeps those of interest, sorts, de-duplicates
// and names them. `cwd` is the current working directory (for the report-name
// length rule). A read failure prints "ERROR: corrupt SPI file %s\n" and ends
// the run with status 1.
ComponentList build_component_list(SpiFile* spi, const CoverageOptions& options,
                                   const ComponentFilter& filter, std::string_view cwd);

// The steps of the build, exposed for tests and for callers with their own
// entries: sort by (file_name, readable name, proc_name), then de-duplicate.
void sort_components(std::vector<Component>& entries);
void dedupe_components(std::vector<Component>& entries, bool multiple_definitions);

// The readable name of a routine name (-demang: `full_signature`);
// "__sti__" names become "class ExecuteOnStartup <rest>".
std::optional<std::string> readable_name(std::string_view proc_name, bool full_signature);

// True for routines that are neither counted nor coloured: missing readable
// name, start line 0, readable names beginning "___sti__" or "__$U".
bool is_left_out(const Component& c);

// Group iteration: `first` is the index of a group's first entry; the end is
// the index of the first entry with another file_name (or the list's size).
size_t group_end(const std::vector<Component>& entries, size_t first);
std::span<Component> group_of(std::vector<Component>& entries, size_t first);
std::span<const Component> group_of(const std::vector<Component>& entries, size_t first);

// Start-line order of a file group: the group's entries chained by start line
// ascending (entries that start at the same line keep the chain's insertion
// rule). Part of the per-file work before the marker scan.
std::vector<const Component*> order_by_start_line(std::span<const Component> group);

// For a line where a routine starts: whether one starts there, and the line
// before the next routine's start (that start line itself when it equals
// `line`); no end line for the file's last routine.
struct RoutineStart {
  bool is_start = false;
  std::optional<uint32_t> end_line;
};
RoutineStart routine_start_at(const std::vector<const Component*>& by_start, uint32_t line);

}  // namespace vorel
