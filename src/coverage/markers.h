// Component files, the component filter and the infeasible-code marker lists.
//
// A component file (-comp) names the source files of interest, one substring
// per line ('~' in front: an exclusion), and may add markers with keyword
// lines (ONE_LINE_NOTFEASIBLE:, BEGIN_NOTFEASIBLE:, END_NOTFEASIBLE: followed
// by the marker in double quotes). Markers from the command line come first,
// those of the component file after them. Every error in the file ends the
// run with status 1.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorel {

struct HostRules;

struct MarkerLists {
  std::vector<std::string> one_line;
  std::vector<std::string> begin;
  std::vector<std::string> end;
  bool in_use = false;
};

// Decides whether a normalised source path is of interest.
class ComponentFilter {
 public:
  ComponentFilter() = default;
  explicit ComponentFilter(std::vector<std::string> entries) : entries_(std::move(entries)) {}
  bool of_interest(std::string_view path) const;
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;  // normalised; '~' marks an exclusion
};

struct ComponentFile {
  ComponentFilter filter;
  MarkerLists markers;  // command-line markers, then the file's
};

// Reads the component file `name` (none: an empty filter and the
// command-line markers `markers`). Every failure prints its message on
// stderr and ends the run with status 1.
ComponentFile read_component_file(const std::optional<std::string>& name, MarkerLists markers,
                                  const HostRules& rules);

// The reader on an open stream (`name` for the messages), for tests.
ComponentFile read_component_stream(std::FILE* in, const std::string& name, MarkerLists markers,
                                    const HostRules& rules);

// The marker consistency check: false (after printing the clash on stderr)
// when a marker is used for two purposes.
bool check_markers(const MarkerLists& markers);

}  // namespace vorel
