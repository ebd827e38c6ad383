// Turns gcov's per-unit data into one program description for the profile
// writer (docs/GCOV_IMPORT.md describes the mapping):
//   compilation unit -> module, source file -> source file,
//   function -> routine (the same name in the same source file, from any
//   unit, is one routine with its counts summed),
//   executable line of a function -> one block with that line as its line
//   map, its count the function's own count for the line summed over units,
//   plus an entry block per routine carrying the function's call count, with
//   no position and no lines.
// A line's branch arcs (summed as lcov sums them) become extra blocks of the
// first routine that holds the line and ran, and a partly executed line gets
// a block with count 0 there (profile/branch_tag.h).
// Lines gcov attributes to no function join the innermost function whose
// extent holds them; the rest of a file's such lines go to one line-holder
// routine (profile/line_holder.h), which the reporter counts as lines only.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "import_gcov/gcov_json.h"
#include "profile/line_holder.h"
#include "profile_writer/program.h"

namespace import_gcov {

// The routine that holds lines gcov attributes to no function and that lie
// outside every function's extent.
inline constexpr const char* kOutsideFunctions = vorel::kLineHolderName;

struct ImportSummary {
  size_t units = 0, files = 0, routines = 0, lines = 0;
  size_t routines_without_lines = 0;  // left out: nothing to count
};

// (line, count) pairs; a line may repeat until they are merged.
using LineCounts = std::vector<std::pair<uint32_t, uint64_t>>;

class ProgramBuilder {
 public:
  // Adds one unit; false (with `*error`) when a summed count overflows.
  bool add(const GcovUnit& unit, std::string* error);
  // The description, with `runs` recorded as the number of runs.
  profile_writer::Program finish(uint32_t runs, ImportSummary* summary) const;

 private:
  struct RoutineData {
    size_t module = 0;
    uint32_t start_line = 0, start_column = 0, end_line = 0, end_column = 0;
    uint64_t execution_count = 0;
    LineCounts lines;  // its own counts; merged per line in finish()
  };
  // A line's branch arc summed over the entries that list it, as lcov sums
  // them: `ran` when some entry's line ran (lcov's count is then a number,
  // not "-").
  struct BranchArc {
    uint64_t count = 0;
    bool ran = false;
  };
  struct LineBranches {
    std::vector<BranchArc> arcs;  // by arc number
    bool unexecuted_block = false;  // an entry that ran flagged a block that did not
  };
  struct FileData {
    size_t first_module = 0;
    std::unordered_map<uint32_t, uint64_t> line_totals;  // guards the sums against overflow
    std::map<uint32_t, LineBranches> branches;  // lines with arcs or an unexecuted block
    std::map<std::string, size_t> routine_index;  // name -> index into routines
    std::vector<std::pair<std::string, RoutineData>> routines;  // first-appearance order
    LineCounts unattributed;
  };

  RoutineData& routine_of(FileData& file, const std::string& name, size_t module);
  static bool add_branches(FileData& file, const GcovLine& line);

  std::vector<std::string> modules_;
  std::unordered_map<std::string, size_t> module_index_;
  std::vector<std::string> file_order_;
  std::unordered_map<std::string, FileData> files_;
  size_t units_ = 0;
};

// The name gcov gives, made absolute with the unit's working directory when
// it is relative, then normalised lexically (see normal_path).
std::string absolute_name(const std::string& cwd, const std::string& name);

// `path` with "." components and duplicate '/' dropped and each ".."
// removing the component before it (a ".." at the root stays at the root;
// leading ".." of a relative path are kept). Symbolic links are not looked at.
std::string normal_path(const std::string& path);

// Gives each line of `unattributed` (ascending) the index of the innermost
// extent [start, end] that holds it (the latest start; the first listed among
// equal starts), or SIZE_MAX when none does. O((n + m) log n).
std::vector<size_t> innermost_extents(const std::vector<std::pair<uint32_t, uint32_t>>& extents,
                                      const std::vector<uint32_t>& lines);

}  // namespace import_gcov
