// Applies the sources' exclusion markers (exclusion_markers.h) to gcov's
// data before it reaches the program builder: a line a marker excludes
// leaves the unit, and a function whose first line is excluded leaves it
// with every line gcov gives it (lcov drops such a function as well); a line
// whose branches a _BR_ marker excludes keeps its count and loses its branches
// (an _EXCEPTION_BR_ marker too, as in lcov's capture).
// Each source is read once, however many units name it.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "import_gcov/exclusion_markers.h"
#include "import_gcov/gcov_json.h"

namespace import_gcov {

class MarkerFilter {
 public:
  // Filters `unit` in place. A source that cannot be read, or that opens a
  // section it never closes, adds a warning (once per source) to `*warnings`.
  void apply(GcovUnit* unit, std::vector<std::string>* warnings);
  // The number of sources read so far that exclude lines.
  size_t sources_with_markers() const { return with_markers_; }
  // The markers of the source `path`, read on first use (the warnings as
  // for apply).
  const ExclusionMarkers& markers_of(const std::string& path, std::vector<std::string>* warnings);

 private:
  std::unordered_map<std::string, ExclusionMarkers> sources_;
  size_t with_markers_ = 0;
};

}  // namespace import_gcov
