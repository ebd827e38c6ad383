// Turns gcov's per-unit data into one program description for the profile
// writer (docs/GCOV_IMPORT.md describes the mapping):
//   compilation unit -> module, source file -> source file,
//   function -> routine (the same name in the same source file, from any
//   unit, is one routine with its counts summed),
//   executable line -> one block with that line as its line map, its count
//   the line's count summed over every function and unit that lists it,
//   plus an entry block per routine carrying the function's call count;
//   a line's branch arcs (summed as lcov sums them) become extra blocks of
//   the first routine that holds the line, and a partly executed line gets
//   a block with count 0 there (profile/branch_tag.h).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "import_gcov/gcov_json.h"
#include "profile_writer/program.h"

namespace import_gcov {

// The routine that holds lines gcov attributes to no function and that lie
// outside every function's extent.
inline constexpr const char* kOutsideFunctions = "__lines_outside_functions";

struct ImportSummary {
  size_t units = 0, files = 0, routines = 0, lines = 0;
  size_t routines_without_lines = 0;  // left out: nothing to count
};

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
    std::vector<uint32_t> lines;  // may repeat; sorted and made unique in finish()
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
    std::unordered_map<uint32_t, uint64_t> line_totals;
    std::map<uint32_t, LineBranches> branches;  // lines with arcs or an unexecuted block
    std::map<std::string, size_t> routine_index;  // name -> index into routines
    std::vector<std::pair<std::string, RoutineData>> routines;  // first-appearance order
    std::vector<uint32_t> unattributed;
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
// it is relative.
std::string absolute_name(const std::string& cwd, const std::string& name);

}  // namespace import_gcov
