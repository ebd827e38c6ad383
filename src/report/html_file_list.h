// The covered-files and uncovered-files list pages, one per sort order.
#pragma once

#include <span>
#include <string>

namespace vorel {

struct FileEntry;
struct PageContext;

// Writes the list page of `order` under `base` (numbered directory name,
// page number order + 3). Covered lists and, with -ref, uncovered lists use
// the full layout with coverage columns; uncovered lists without -ref the
// short one with totals only. An order outside -3..3 prints "Invalid sorting
// option %d\n" and returns false, as does a page that cannot be created
// (with its message).
bool write_file_list(const PageContext& ctx, bool covered, int order, const std::string& base,
                     std::span<const FileEntry* const> entries);

// Every page of one list: covered lists in the orders 1, -1, 2, -2, 3, -3;
// uncovered lists in 1 and -1, plus 2, -2, 3, -3 with -ref.
bool write_file_lists(const PageContext& ctx, bool covered, const std::string& base,
                      std::span<const FileEntry* const> entries);

}  // namespace vorel
