// The sorted routine index: search, duplicate keys, matching.
#include <gtest/gtest.h>

#include "capture.h"
#include "driver/catalog.h"
#include "dpi_test_support.h"
#include "profile/dpi_index.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;

vorel::dpi_toc_entry entry(const std::string& file, const std::string& func, uint32_t order) {
  vorel::dpi_toc_entry e;
  e.file_name = file;
  e.func_name = func;
  e.key = func + "'" + file + "'";
  e.file_order = order;
  return e;
}

// Keys sort by unsigned bytes, with one warning per run of equal keys;
// find_first gives the first of a run, find_any one of it.
TEST(DpiIndex, SearchOnAHandMadeIndex) {
  vorel::dpi_file f;
  f.name = "hand.dpi";
  f.index = {entry("b.c", "f", 0), entry("a.c", "g", 1), entry("a.c", "\xC3\xA9", 2),
             entry("a.c", "Z", 3), entry("a.c", "g", 4)};
  for (uint32_t i = 0; i < 5; ++i) f.index.push_back(entry("a.c", "f", 5 + i));
  auto c = test_support::capture([&] { vorel::dpi_sort_index(f); });
  const std::string warning = warning_prefix(vorel::kMsgDuplicateKey) + "Multiple profile entries in hand.dpi match lookup key, ";
  EXPECT_EQ(c.err, warning + "f'a.c'\n" + warning + "g'a.c'\n");
  std::string keys;
  for (const vorel::dpi_toc_entry& e : f.index) keys += e.key + " ";
  EXPECT_EQ(keys, "Z'a.c' f'a.c' f'a.c' f'a.c' f'a.c' f'a.c' f'b.c' g'a.c' g'a.c' \xC3\xA9'a.c' ");
  EXPECT_EQ(vorel::DPI_find_first(&f, "a.c", "f"), &f.index[1]);
  const vorel::dpi_toc_entry* any = vorel::DPI_find_any(&f, "a.c", "f");
  EXPECT_TRUE(any >= &f.index[1] && any <= &f.index[5]);
  EXPECT_EQ(vorel::DPI_find_first(&f, "a.c", "g"), &f.index[7]);
  EXPECT_EQ(vorel::DPI_find_any(&f, "a.c", "\xC3\xA9"), &f.index[9]);
  EXPECT_EQ(vorel::DPI_find_first(&f, "c.c", "f"), nullptr);
  EXPECT_EQ(vorel::DPI_find_any(&f, "a.c", "h"), nullptr);
  EXPECT_EQ(vorel::DPI_find_any(&f, "", ""), nullptr);
}

// f'a.c' three times (block counts 2, 3, 4), g'a.c' twice, h once; no root,
// so that every layout stores the same name.
profile_writer::Program duplicates() {
  profile_writer::Program p =
      one_file({routine("f", {1, 1}), routine("g", {1}), routine("f", {2, 2, 2}), routine("h", {1}),
                routine("g", {5}), routine("f", {3, 3, 3, 3})});
  p.modules[0].files[0].root.clear();
  return p;
}

TEST(DpiIndex, MatchingWalksTheRunOfEqualKeys) {
  e2e::TempDir dir;
  vorel::DpiOpenOptions quiet;
  quiet.check_duplicate_keys = false;
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    Opened o = open_bytes(dir, profile_writer::dpi_image(duplicates(), layout).bytes, quiet);
    ASSERT_TRUE(o.file) << o.err;
    EXPECT_EQ(o.err, "");
    vorel::dpi_file* f = o.file.get();
    for (uint32_t blocks : {2u, 3u, 4u}) {
      std::unique_ptr<vorel::dpi_routine> r = vorel::DPI_match_by_block_count(f, "a.c", "f", blocks);
      ASSERT_TRUE(r);
      EXPECT_EQ(r->blocks[0].count, blocks - 1);
    }
    EXPECT_FALSE(vorel::DPI_match_by_block_count(f, "a.c", "f", 5));
    EXPECT_FALSE(vorel::DPI_match_by_block_count(f, "a.c", "g", 2));  // does not walk into h
    EXPECT_FALSE(vorel::DPI_match_by_block_count(f, "a.c", "nope", 1));
    std::unique_ptr<vorel::dpi_routine> any = vorel::DPI_match_by_name(f, "a.c", "f");
    ASSERT_TRUE(any);
    EXPECT_EQ(any->func_name, "f");
    EXPECT_FALSE(vorel::DPI_match_by_name(f, "b.c", "f"));
  }
}

}  // namespace
