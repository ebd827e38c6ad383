// The covered-functions and uncovered-functions list pages of one source
// file, one per sort order, shown in the left frames of the file's frame set.
#pragma once

#include <string>
#include <vector>

namespace vorel {

struct FunctionInfo;
struct PageContext;

// Writes the list page of `order` for the file with `report_name`; every
// function links to its anchor in the source view. The coverage layout is
// used for covered functions and, with -ref, for uncovered ones; the blocks
// layout otherwise. With -nohtml nothing is written. An order outside -3..3
// prints "Invalid sorting option %d\n" and returns false.
// Returns false (after "Cannot open %s for output!\n") when the page cannot
// be created.
bool write_function_list(const PageContext& ctx, bool covered, int order,
                         const std::string& file_title, const std::string& report_name,
                         std::vector<const FunctionInfo*> functions);

// The orders a file's list is written in: covered 1, -1, 2, -2; uncovered
// 1, -1, 3, -3 (1, -1, 2, -2 with -ref).
std::vector<int> function_list_orders(bool covered, bool differential);

}  // namespace vorel
