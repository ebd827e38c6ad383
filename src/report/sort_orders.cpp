#include "report/sort_orders.h"

#include <numeric>
#include <utility>

#include "coverage/coverage_list.h"
#include "coverage/function_table.h"
#include "base/diag.h"

namespace vorel {

namespace {

constexpr size_t kInsertionLimit = 32;

[[noreturn]] void invalid_order(int order) {
  print_err("Internal error: invalid sort oder: %d\n", order);
  fatal_exit(1);
}

template <typename T>
int three_way(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Byte-wise, as unsigned bytes.
int compare_names(const std::string& a, const std::string& b) {
  int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The sorts take the comparison as a template parameter: called a million
// times on a large file's function list, it is inlined rather than called
// through a std::function.
template <typename Compare>
void insertion_sort(std::vector<size_t>& v, const Compare& cmp) {
  for (size_t i = 1; i < v.size(); ++i) {
    size_t item = v[i];
    size_t j = i;
    for (; j > 0 && cmp(v[j - 1], item) > 0; --j) v[j] = v[j - 1];
    v[j] = item;
  }
}

// The middle element is moved to the front as pivot; two scans from both
// ends swap misplaced entries; the pivot then goes between the two parts.
// The smaller part is sorted by recursion, the larger one by the loop.
template <typename Compare>
void quick_sort(std::vector<size_t>& v, size_t lo, size_t hi, const Compare& cmp) {
  while (lo < hi) {
    std::swap(v[lo], v[lo + (hi - lo) / 2]);
    const size_t pivot = v[lo];
    size_t i = lo + 1, j = hi;
    while (true) {
      while (i <= j && cmp(v[i], pivot) < 0) ++i;
      while (i <= j && cmp(v[j], pivot) > 0) --j;
      if (i >= j) break;
      std::swap(v[i], v[j]);
      ++i;
      --j;
    }
    std::swap(v[lo], v[j]);
    if (j - lo < hi - j) {
      if (j > lo + 1) quick_sort(v, lo, j - 1, cmp);
      lo = j + 1;
    } else {
      if (j + 1 < hi) quick_sort(v, j + 1, hi, cmp);
      if (j == 0) return;
      hi = j - 1;
    }
  }
}

template <typename Compare>
void sort_with(std::vector<size_t>& items, const Compare& compare) {
  if (items.size() < kInsertionLimit)
    insertion_sort(items, compare);
  else
    quick_sort(items, 0, items.size() - 1, compare);
}

int function_key(const FunctionInfo& a, const FunctionInfo& b, int magnitude) {
  int c = 0;
  switch (magnitude) {
    case 2:
      c = three_way(a.block_percent, b.block_percent);
      return c != 0 ? c : function_key(a, b, 3);
    case 3:
      c = three_way(a.blocks, b.blocks);
      return c != 0 ? c : function_key(a, b, 1);
    default:
      c = compare_names(a.readable_name, b.readable_name);
      return c != 0 ? c : three_way(a.start_line, b.start_line);
  }
}

}  // namespace

bool valid_sort_order(int order) { return order >= -3 && order <= 3 && order != 0; }

SortLinks sort_links(int order) {
  switch (order) {
    case -3: return {4, 1, 6};
    case -2: return {4, 5, 0};
    case -1: return {4, 5, 6};
    case 1: return {2, 5, 6};
    case 2: return {4, 1, 6};
    case 3: return {4, 5, 0};
    default: invalid_order(order);
  }
}

void sort_items(std::vector<size_t>& items, const std::function<int(size_t, size_t)>& compare) {
  sort_with(items, compare);
}

int compare_file_entries(const FileEntry& a, const std::string& a_name, const FileEntry& b,
                         const std::string& b_name, int order) {
  if (!valid_sort_order(order)) invalid_order(order);
  int c = 0;
  const int magnitude = order < 0 ? -order : order;
  if (magnitude == 2) c = three_way(a.function_percent, b.function_percent);
  if (magnitude == 3) c = three_way(a.block_percent, b.block_percent);
  if (c == 0) c = compare_names(a_name, b_name);
  return order < 0 ? -c : c;
}

std::vector<size_t> sort_file_indices(std::span<const FileEntry* const> entries,
                                      const std::vector<std::string>& display_names, int order) {
  std::vector<size_t> items(entries.size());
  std::iota(items.begin(), items.end(), size_t{0});
  sort_with(items, [&](size_t a, size_t b) {
    return compare_file_entries(*entries[a], display_names[a], *entries[b], display_names[b],
                                order);
  });
  return items;
}

int compare_functions(const FunctionInfo& a, const FunctionInfo& b, int order) {
  if (!valid_sort_order(order)) invalid_order(order);
  const int c = function_key(a, b, order < 0 ? -order : order);
  return order < 0 ? -c : c;
}

void sort_functions(std::vector<const FunctionInfo*>& functions, int order) {
  std::vector<size_t> items(functions.size());
  std::iota(items.begin(), items.end(), size_t{0});
  sort_with(items, [&](size_t a, size_t b) {
    return compare_functions(*functions[a], *functions[b], order);
  });
  std::vector<const FunctionInfo*> sorted;
  sorted.reserve(items.size());
  for (size_t i : items) sorted.push_back(functions[i]);
  functions = std::move(sorted);
}

}  // namespace vorel
