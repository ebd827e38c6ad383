// The per-file computation: block, function and line coverage of one source
// file group.
//
// For each routine of the group it finds the dynamic record (and, with -ref,
// the reference record), repairs unwind-handler counts, decides which blocks
// count, fills the position table and the function tables, and finally
// writes the file's totals into its file entry and into the run totals.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorel {

struct CoverageOptions;
struct DpiFile;
struct CoverageModel;
class BlockListSink;
struct FileFigures;

struct ComputeContext {
  const CoverageOptions& options;
  DpiFile* dpi;            // the dynamic profile file
  DpiFile* ref_dpi;        // the reference profile file (-ref), else nullptr
  CoverageModel& model;     // its scanner holds the file's infeasible lines
  BlockListSink* sink;      // full block lists, or nullptr when none is written
  FileFigures* figures = nullptr;  // extension outputs' per-file figures, or nullptr
};

// Computes the group that starts at model.components.entries[first].
// Returns whether the file's output is to be written: false when the source
// file cannot be opened, and with -ref when nothing new was covered.
bool compute_file(const ComputeContext& ctx, size_t first, bool line_coverage);

}  // namespace vorel
