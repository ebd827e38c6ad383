// The exclusion markers that projects write into their sources for lcov and
// gcovr, found the way lcov's capture finds them: a marker counts anywhere
// in a line (comment or not), lines are counted by line feeds.
//   LCOV_EXCL_LINE           excludes its line;
//   LCOV_EXCL_START          excludes its line and those after it, up to
//   LCOV_EXCL_STOP           which ends the section (its own line is not
//                            excluded; STOP wins over START on one line);
//   GCOVR_EXCL_*             the same as the LCOV_EXCL_* of that name;
//   LCOV_EXCL_BR_LINE/START/STOP (and GCOVR_ twins) concern branches only:
//                            the lines' branches are excluded, the lines stay;
//   LCOV_EXCL_EXCEPTION_BR_LINE/START/STOP (and GCOVR_ twins) exclude the
//                            lines' branches too: lcov's capture of gcov's
//                            JSON drops every arc of such a line, not only
//                            the exception arcs.
// A START without a STOP excludes up to the end of the file.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace import_gcov {

struct ExclusionMarkers {
  using Ranges = std::vector<std::pair<uint32_t, uint32_t>>;  // first..last line, sorted, disjoint
  Ranges lines;          // lines excluded from every figure
  Ranges branch_lines;   // lines whose branches are excluded (_BR_ forms)
  Ranges exception_branch_lines;  // lines of the _EXCEPTION_BR_ forms
  bool unterminated = false;  // a START without its STOP

  bool excludes_line(uint32_t line) const;
  // Both kinds of branch markers.
  bool excludes_branches(uint32_t line) const;
};

ExclusionMarkers scan_exclusion_markers(std::string_view text);

}  // namespace import_gcov
