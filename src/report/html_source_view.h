// The annotated source view of the file just computed, followed by the
// file's function lists and frame set.
#pragma once

namespace vorel {

struct CoverageModel;
struct PageContext;

// Renders the current file of `model` (its position table, infeasible lines
// and function tables) into its source view page, then writes the frame set
// (whose result is returned). Returns false after "Error - Cannot open %s!\n"
// (source) or "Cannot open %s for output!\n" (page).
bool write_source_view(const PageContext& ctx, const CoverageModel& model);

}  // namespace vorel
