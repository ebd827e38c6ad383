// The totals summary page and the root frame-set page of the report set.
#pragma once

#include <string>

namespace vorel {

struct PageContext;
struct RunTotals;

// Writes the totals summary page (`summary_base` in the report directory)
// and then the root frame set (`root_base` in the working directory). The
// root's lower frames show the covered and uncovered file lists, each only
// when its base name is given. Returns false after "Unable to create root
// html file %s!\n".
bool write_root_frame_set(const PageContext& ctx, const RunTotals& totals,
                          const std::string& root_base, const std::string& summary_base,
                          const char* covered_base, const char* uncovered_base);

}  // namespace vorel
