#include "report/sort_orders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "coverage/coverage_list.h"
#include "coverage/function_table.h"

namespace vorel {
namespace {

// Ten files go through insertion sort, forty through quicksort; names come
// in pairs, so both algorithms meet equal keys.
TEST(SortOrders, FileListsInEveryOrder) {
  for (size_t n : {10u, 40u}) {
    std::mt19937 rng(static_cast<unsigned>(n));
    std::vector<FileEntry> store(n);
    std::vector<std::string> names;
    for (size_t i = 0; i < n; ++i) {
      store[i].function_percent = static_cast<double>(rng() % 5) * 25;
      store[i].block_percent = static_cast<double>(i % 4) * 10;
      names.push_back(std::string(1, 'f').append(std::to_string(1000 + (i * 7919) % (n / 2))).append(".c"));
    }
    std::vector<const FileEntry*> entries;
    for (const FileEntry& e : store) entries.push_back(&e);
    for (int order : {1, -1, 2, -2, 3, -3}) {
      std::vector<size_t> idx = sort_file_indices(entries, names, order);
      std::vector<size_t> all(n);
      std::iota(all.begin(), all.end(), size_t{0});
      ASSERT_TRUE(std::is_permutation(idx.begin(), idx.end(), all.begin())) << order;
      auto key = [&](size_t i) {
        const int m = std::abs(order);
        return std::make_pair(m == 2 ? store[i].function_percent : m == 3 ? store[i].block_percent : 0,
                              names[i]);
      };
      for (size_t i = 1; i < n; ++i)
        ASSERT_FALSE(order > 0 ? key(idx[i]) < key(idx[i - 1]) : key(idx[i - 1]) < key(idx[i])) << order;
    }
  }
  FileEntry a, b;
  EXPECT_LT(compare_file_entries(a, "z.c", b, "\xC3\xA9.c", 1), 0);  // unsigned bytes
}

FunctionInfo fn(const char* name, uint32_t line, uint32_t blocks, double percent) {
  FunctionInfo f;
  f.readable_name = name;
  f.start_line = line;
  f.blocks = blocks;
  f.block_percent = percent;
  return f;
}

// Equal coverage and blocks fall back to the name, equal names to the line;
// a negative order reverses the ties too.
TEST(SortOrders, FunctionTieBreaksAndReversal) {
  std::vector<FunctionInfo> fs = {fn("b", 10, 4, 50), fn("a", 30, 4, 50), fn("a", 20, 4, 50),
                                  fn("c", 5, 2, 100), fn("d", 1, 8, 25)};
  const std::pair<int, const char*> cases[] = {
      {1, "a20 a30 b10 c5 d1 "}, {-1, "d1 c5 b10 a30 a20 "}, {2, "d1 a20 a30 b10 c5 "},
      {-2, "c5 b10 a30 a20 d1 "}, {3, "c5 a20 a30 b10 d1 "}, {-3, "d1 b10 a30 a20 c5 "}};
  for (const auto& [order, want] : cases) {
    std::vector<const FunctionInfo*> p;
    for (const auto& f : fs) p.push_back(&f);
    sort_functions(p, order);
    std::string got;
    for (const FunctionInfo* f : p) got += f->readable_name + std::to_string(f->start_line) + " ";
    EXPECT_EQ(got, want) << order;
  }
}

}  // namespace
}  // namespace vorel
