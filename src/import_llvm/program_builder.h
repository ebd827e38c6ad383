// Turns llvm-cov's export data into one program description for the profile
// writer (docs/LLVM_IMPORT.md describes the mapping):
//   export input -> module, source file -> source file,
//   function record -> routine (the same name in the same source file, from
//   any input, is one routine with its counts summed),
//   code region -> block at the region's start (a region of a macro
//   expansion at the expansion's start in the function's file), whose line
//   map is the lines on which llvm-cov's line view counts it,
//   branch region -> two branch arcs (true, false outcome) on its start
//   line (a macro's: the expansion's line), numbered per line in the order
//   llvm-cov's lcov export numbers them (branch_order below).
// Line counts come from each file's segments, computed as llvm-cov's line
// view computes them (line_view.h); a line no block can carry goes to the
// file's line-holder routine.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "import_gcov/exclusion_markers.h"
#include "import_llvm/line_view.h"
#include "import_llvm/llvm_json.h"
#include "profile_writer/program.h"

namespace import_llvm {

// The most executable lines one import takes (over all files and inputs).
inline constexpr size_t kMaxMappedLines = size_t{1} << 22;

struct ImportSummary {
  size_t inputs = 0, files = 0, routines = 0, lines = 0, blocks = 0;
  size_t lines_outside_blocks = 0;  // carried by the line holder
};

// Which files to keep (by normalised absolute name), and the exclusion
// markers of a kept file (nullptr: none).
struct FileRules {
  std::function<bool(const std::string&)> keeps;
  std::function<const import_gcov::ExclusionMarkers*(const std::string&)> markers;
};

// A branch region's outcome counts on the line llvm-cov shows it at.
struct BranchPair {
  uint32_t line = 0, column = 0;  // a macro's: the expansion's line, the column in the macro
  uint64_t true_count = 0, false_count = 0;
  size_t routine = 0;  // set by branch_order
};

// llvm-cov's lcov export lists a file's branch regions from a list of the
// own-file branches of every function, then every function's expansion
// branches, sorted by line with std::sort (not stable: the same algorithm
// on the same list gives llvm-cov's order). Returns that order.
std::vector<BranchPair> branch_order(std::vector<BranchPair> own, const std::vector<BranchPair>& expansions);

class ProgramBuilder {
 public:
  // Adds one export read from `input`; false with `*error` when a summed
  // count does not fit or a function differs between inputs.
  bool add(const LlvmExport& data, const std::string& input, const FileRules& rules, std::string* error);
  profile_writer::Program finish(uint32_t runs, ImportSummary* summary) const;

 private:
  struct RegionBlock {
    uint32_t line = 0, col = 0;  // position in the routine's file
    bool own_file = false;       // its range (below) lies in the routine's file
    uint32_t line_start = 0, column_start = 0, line_end = 0, column_end = 0;
    uint64_t count = 0;
  };
  struct RoutineData {
    size_t module = 0;
    uint32_t start_line = 0, start_col = 0, end_line = 0, end_col = 0;
    std::vector<RegionBlock> blocks;  // the body region first
    // Branch regions in the function's own file, then those of its macro
    // expansions (at the expansion's line), each in llvm-cov's order.
    std::vector<BranchPair> own_branches, expansion_branches;
  };
  struct FileData {
    size_t first_module = 0;
    std::map<uint32_t, uint64_t> lines;  // llvm-cov's line counts, summed over inputs
    std::map<std::string, size_t> routine_index;
    std::vector<std::pair<std::string, RoutineData>> routines;
  };

  FileData& file_of(const std::string& name, size_t module);
  bool add_function(const LlvmFunction& f, size_t module, const FileRules& rules, std::string* error);

  std::vector<std::string> modules_;
  std::vector<std::string> file_order_;
  std::unordered_map<std::string, FileData> files_;
  size_t mapped_total_ = 0;
};

// The routine name shown for llvm-cov's function name: internal-linkage
// names lose their "file:" (or "file;") prefix. `*is_static` tells them.
std::string routine_name(const std::string& llvm_name, bool* is_static);

}  // namespace import_llvm
