// Sort orders of the report lists and the sort they share.
//
// An order k runs from -3 to 3 without 0: the sign is the direction
// (negative descending, with every tie-break reversed too), the magnitude the
// key. File lists: 1 display name; 2 function coverage, then the name; 3
// block coverage, then the name. Function lists: 1 readable name, then line;
// 2 coverage, then the key of 3; 3 number of blocks, then the key of 1.
// Lists of fewer than 32 entries are sorted by insertion, longer ones by a
// quicksort; equal entries may end in any order.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace vorel {

struct FileEntry;
struct FunctionInfo;

// True for -3..3 without 0.
bool valid_sort_order(int order);

// The page numbers (order + 3) that the name column and the first and second
// numeric columns of the page of `order` link to.
struct SortLinks {
  int name, first, second;
};
SortLinks sort_links(int order);

// Sorts `items` ascending by `compare` (<0, 0, >0).
void sort_items(std::vector<size_t>& items, const std::function<int(size_t, size_t)>& compare);

// Compares two file entries with their display names under `order`; an order
// of 0 (or one beyond +-3) prints "Internal error: invalid sort oder: %d\n"
// and ends the run with status 1.
int compare_file_entries(const FileEntry& a, const std::string& a_name, const FileEntry& b,
                         const std::string& b_name, int order);
// The indices 0..n-1 of `entries` in the order `order`; display_names[i]
// belongs to entries[i].
std::vector<size_t> sort_file_indices(std::span<const FileEntry* const> entries,
                                      const std::vector<std::string>& display_names, int order);

int compare_functions(const FunctionInfo& a, const FunctionInfo& b, int order);
// Sorts the function entries in place.
void sort_functions(std::vector<const FunctionInfo*>& functions, int order);

}  // namespace vorel
