#include "report/sort_orders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "coverage/coverage_list.h"
#include "coverage/function_table.h"
#include "capture.h"

namespace vorel {
namespace {

TEST(SortOrders, LinkTable) {
  const int want[6][4] = {{-3, 4, 1, 6}, {-2, 4, 5, 0}, {-1, 4, 5, 6},
                          {1, 2, 5, 6},  {2, 4, 1, 6},  {3, 4, 5, 0}};
  for (const auto& w : want) {
    SortLinks l = sort_links(w[0]);
    EXPECT_EQ(l.name, w[1]) << w[0];
    EXPECT_EQ(l.first, w[2]) << w[0];
    EXPECT_EQ(l.second, w[3]) << w[0];
  }
}

TEST(SortOrders, OrderZeroIsAnInternalErrorAndNamesCompareAsUnsignedBytes) {
  FileEntry a, b;
  FunctionInfo f, g;
  auto files = test_support::capture([&] { compare_file_entries(a, "a", b, "b", 0); });
  auto fns = test_support::capture([&] { compare_functions(f, g, 0); });
  EXPECT_EQ(files.status, 1);
  EXPECT_EQ(fns.status, 1);
  EXPECT_EQ(files.err, "Internal error: invalid sort oder: 0\n");
  EXPECT_LT(compare_file_entries(a, "z.c", b, "\xC3\xA9.c", 1), 0);
}

// Insertion sort (below 32) and quicksort (from 32 on) agree with a reference
// sort whenever no two entries compare equal.
TEST(SortOrders, BothAlgorithmsGiveTheSameOrderOnDistinctKeys) {
  std::mt19937 rng(42);
  for (size_t n : {0u, 1u, 2u, 10u, 31u, 32u, 40u, 200u, 1000u}) {
    for (int round = 0; round < 5; ++round) {
      std::vector<int> keys(n);
      std::iota(keys.begin(), keys.end(), 0);
      std::shuffle(keys.begin(), keys.end(), rng);
      std::vector<size_t> items(n);
      std::iota(items.begin(), items.end(), size_t{0});
      sort_items(items, [&](size_t a, size_t b) { return keys[a] - keys[b]; });
      for (size_t i = 0; i < n; ++i) ASSERT_EQ(keys[items[i]], static_cast<int>(i)) << n;
    }
  }
  // Many equal keys still sort.
  std::vector<int> keys(500);
  for (int& k : keys) k = static_cast<int>(rng() % 3);
  std::vector<size_t> items(keys.size());
  std::iota(items.begin(), items.end(), size_t{0});
  sort_items(items, [&](size_t a, size_t b) { return keys[a] - keys[b]; });
  for (size_t i = 1; i < items.size(); ++i) ASSERT_LE(keys[items[i - 1]], keys[items[i]]);
}

FileEntry file(double fp, double bp) {
  FileEntry e;
  e.function_percent = fp;
  e.block_percent = bp;
  return e;
}

// Ten files go through insertion sort, forty through quicksort: same result.
TEST(SortOrders, FileListsInEveryOrder) {
  for (size_t n : {10u, 40u}) {
    std::mt19937 rng(static_cast<unsigned>(n));
    std::vector<FileEntry> store;
    std::vector<std::string> names;
    for (size_t i = 0; i < n; ++i) {
      store.push_back(file(static_cast<double>(rng() % 5) * 25, static_cast<double>(i % 4) * 10));
      std::string name(1, 'f');
      name += std::to_string(1000 + (i * 7919) % n);
      name += ".c";
      names.push_back(name);
    }
    std::vector<const FileEntry*> entries;
    for (const FileEntry& e : store) entries.push_back(&e);
    for (int order : {1, -1, 2, -2, 3, -3}) {
      std::vector<size_t> idx = sort_file_indices(entries, names, order);
      auto key = [&](size_t i) {
        double v = order == 2 || order == -2 ? store[i].function_percent
                   : order == 3 || order == -3 ? store[i].block_percent : 0;
        return std::make_pair(v, names[i]);
      };
      for (size_t i = 1; i < n; ++i) {
        if (order > 0)
          ASSERT_LT(key(idx[i - 1]), key(idx[i])) << order;
        else
          ASSERT_GT(key(idx[i - 1]), key(idx[i])) << order;
      }
    }
  }
}

FunctionInfo fn(const char* name, uint32_t line, uint32_t blocks, double percent) {
  FunctionInfo f;
  f.readable_name = name;
  f.start_line = line;
  f.blocks = blocks;
  f.block_percent = percent;
  return f;
}

std::vector<std::string> order_of(const std::vector<FunctionInfo>& fs, int order) {
  std::vector<const FunctionInfo*> p;
  for (const auto& f : fs) p.push_back(&f);
  sort_functions(p, order);
  std::vector<std::string> out;
  for (const FunctionInfo* f : p) out.push_back(f->readable_name + ":" + std::to_string(f->start_line));
  return out;
}

// Equal coverage and blocks fall back to the name, equal names to the line;
// a negative order reverses the ties too.
TEST(SortOrders, FunctionTieBreaksAndReversal) {
  std::vector<FunctionInfo> fs = {fn("b", 10, 4, 50), fn("a", 30, 4, 50), fn("a", 20, 4, 50),
                                  fn("c", 5, 2, 100), fn("d", 1, 8, 25)};
  using V = std::vector<std::string>;
  EXPECT_EQ(order_of(fs, 1), (V{"a:20", "a:30", "b:10", "c:5", "d:1"}));
  EXPECT_EQ(order_of(fs, -1), (V{"d:1", "c:5", "b:10", "a:30", "a:20"}));
  EXPECT_EQ(order_of(fs, 2), (V{"d:1", "a:20", "a:30", "b:10", "c:5"}));
  EXPECT_EQ(order_of(fs, -2), (V{"c:5", "b:10", "a:30", "a:20", "d:1"}));
  EXPECT_EQ(order_of(fs, 3), (V{"c:5", "a:20", "a:30", "b:10", "d:1"}));
  EXPECT_EQ(order_of(fs, -3), (V{"d:1", "b:10", "a:30", "a:20", "c:5"}));
}

TEST(SortOrders, FunctionListsAgreeAcrossTheAlgorithms) {
  std::mt19937 rng(9);
  std::vector<FunctionInfo> fs;
  for (int i = 0; i < 100; ++i) {
    std::string name(1, 'f');
    name += std::to_string(rng() % 20);
    fs.push_back(fn(name.c_str(), static_cast<uint32_t>(i + 1), rng() % 6,
                    static_cast<double>(rng() % 4) * 25));
  }
  for (int order : {1, -1, 2, -2, 3, -3}) {
    std::vector<const FunctionInfo*> p;
    for (const auto& f : fs) p.push_back(&f);
    sort_functions(p, order);
    std::vector<const FunctionInfo*> ref(p);
    std::stable_sort(ref.begin(), ref.end(), [&](const FunctionInfo* a, const FunctionInfo* b) {
      return compare_functions(*a, *b, order) < 0;
    });
    EXPECT_EQ(p, ref) << order;  // lines are unique, so no two entries are equal
  }
}

}  // namespace
}  // namespace vorel
