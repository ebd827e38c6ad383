#include "import_gcov/marker_filter.h"

#include <algorithm>

#include "import_gcov/program_builder.h"
#include "platform/whole_file.h"

namespace import_gcov {

const ExclusionMarkers& MarkerFilter::markers_of(const std::string& path, std::vector<std::string>* warnings) {
  auto [it, added] = sources_.try_emplace(path);
  if (!added) return it->second;
  std::string text, error;
  if (!vorel::read_whole_file(path, &text, &error)) {
    warnings->push_back(path + ": cannot read the source (" + error + "); its exclusion markers are not applied");
    return it->second;
  }
  it->second = scan_exclusion_markers(text);
  if (!it->second.lines.empty()) ++with_markers_;
  if (it->second.unterminated)
    warnings->push_back(path + ": an exclusion section is not closed; it runs to the end of the file");
  return it->second;
}

void MarkerFilter::apply(GcovUnit* unit, std::vector<std::string>* warnings) {
  for (GcovFile& file : unit->files) {
    const ExclusionMarkers& markers = markers_of(absolute_name(unit->current_working_directory, file.name), warnings);
    if (markers.lines.empty() && markers.branch_lines.empty() && markers.exception_branch_lines.empty()) continue;
    for (GcovLine& l : file.lines)
      if (markers.excludes_branches(l.line_number)) l.branches.clear();
    // Functions whose first line is excluded, by their index in line_functions.
    std::vector<bool> dropped(file.line_functions.size(), false);
    auto gone = std::remove_if(file.functions.begin(), file.functions.end(), [&](const GcovFunction& f) {
      if (!markers.excludes_line(f.start_line)) return false;
      auto named = std::find(file.line_functions.begin(), file.line_functions.end(), f.name);
      if (named != file.line_functions.end()) dropped[named - file.line_functions.begin()] = true;
      return true;
    });
    file.functions.erase(gone, file.functions.end());
    auto lines_gone = std::remove_if(file.lines.begin(), file.lines.end(), [&](const GcovLine& l) {
      return markers.excludes_line(l.line_number) || (l.function < dropped.size() && dropped[l.function]);
    });
    file.lines.erase(lines_gone, file.lines.end());
  }
}

}  // namespace import_gcov
