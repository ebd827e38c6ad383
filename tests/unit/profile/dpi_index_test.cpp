// The sorted routine index: search, duplicate keys, matching; the address
// maps of an indexed file.
#include <gtest/gtest.h>

#include "capture.h"
#include "base/catalog.h"
#include "dpi_test_support.h"
#include "profile/dpi_index.h"
#include "profile/lookup_key.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;

vorel::DpiIndexEntry entry(vorel::DpiFile& f, const std::string& file, const std::string& func,
                           uint32_t order) {
  vorel::DpiIndexEntry e;
  e.file_name = e.key_file = f.names.intern(file);
  e.func_name = f.names.add(func);
  e.file_order = order;
  return e;
}

// Keys sort by unsigned bytes, with one warning per run of equal keys;
// find_first gives the first of a run, find_any one of it.
TEST(DpiIndex, SearchOnAHandMadeIndex) {
  vorel::DpiFile f;
  f.name = "hand.dpi";
  f.index = {entry(f, "b.c", "f", 0), entry(f, "a.c", "g", 1), entry(f, "a.c", "\xC3\xA9", 2),
             entry(f, "a.c", "Z", 3), entry(f, "a.c", "g", 4)};
  for (uint32_t i = 0; i < 5; ++i) f.index.push_back(entry(f, "a.c", "f", 5 + i));
  auto c = test_support::capture([&] { vorel::dpi_sort_index(f); });
  const std::string warning = warning_prefix(vorel::kMsgDuplicateKey) + "Multiple profile entries in hand.dpi match lookup key, ";
  EXPECT_EQ(c.err, warning + "f'a.c'\n" + warning + "g'a.c'\n");
  std::string keys;
  for (const vorel::DpiIndexEntry& e : f.index) keys += vorel::dpi_entry_key(e) + " ";
  EXPECT_EQ(keys, "Z'a.c' f'a.c' f'a.c' f'a.c' f'a.c' f'a.c' f'b.c' g'a.c' g'a.c' \xC3\xA9'a.c' ");
  EXPECT_EQ(vorel::dpi_find_first(&f, "a.c", "f"), &f.index[1]);
  const vorel::DpiIndexEntry* any = vorel::dpi_find_any(&f, "a.c", "f");
  EXPECT_TRUE(any >= &f.index[1] && any <= &f.index[5]);
  EXPECT_EQ(vorel::dpi_find_first(&f, "a.c", "g"), &f.index[7]);
  EXPECT_EQ(vorel::dpi_find_any(&f, "a.c", "\xC3\xA9"), &f.index[9]);
  EXPECT_EQ(vorel::dpi_find_first(&f, "c.c", "f"), nullptr);
  EXPECT_EQ(vorel::dpi_find_any(&f, "a.c", "h"), nullptr);
  EXPECT_EQ(vorel::dpi_find_any(&f, "", ""), nullptr);
}

// The piecewise comparison orders exactly as the built keys do, also where a
// name holds the apostrophe or one key is a prefix of the other.
TEST(DpiIndex, KeysCompareInPlaceAsBuilt) {
  const std::pair<std::string, std::string> names[] = {
      {"a.c", "f"}, {"a.c", "f'"}, {"c'a.c", "f"}, {"a.c", ""}, {"", "f"}, {"", ""},
      {"a", "f"}, {"a.cc", "f"}, {"a.c", "\xC3\xA9"}, {"a.c'", "f"}, {"b.c", "f'a.c"}};
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const auto& [file, func] : names) {
    for (const auto& [other_file, other_func] : names) {
      const std::string key = vorel::make_key(other_file, other_func, vorel::kRoutineOrder);
      const std::string built = vorel::make_key(file, func, vorel::kRoutineOrder);
      EXPECT_EQ(sign(vorel::compare_keys(other_file, other_func, file, func)), sign(key.compare(built)))
          << key << " vs " << built;
    }
  }
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
    vorel::DpiFile* f = o.file.get();
    for (uint32_t blocks : {2u, 3u, 4u}) {
      std::unique_ptr<vorel::DpiRoutine> r = vorel::dpi_match_by_block_count(f, "a.c", "f", blocks);
      ASSERT_TRUE(r);
      EXPECT_EQ(r->blocks[0].count, blocks - 1);
    }
    EXPECT_FALSE(vorel::dpi_match_by_block_count(f, "a.c", "f", 5));
    EXPECT_FALSE(vorel::dpi_match_by_block_count(f, "a.c", "g", 2));  // does not walk into h
    EXPECT_FALSE(vorel::dpi_match_by_block_count(f, "a.c", "nope", 1));
    std::unique_ptr<vorel::DpiRoutine> any = vorel::dpi_match_by_name(f, "a.c", "f");
    ASSERT_TRUE(any);
    EXPECT_EQ(any->func_name, "f");
    EXPECT_FALSE(vorel::dpi_match_by_name(f, "b.c", "f"));
  }
}

// Only indirectly called routines are registered, after the index is
// sorted; an address registered twice resolves to nothing. Every layout
// reads the addresses, and files open side by side (-ref) keep their own maps.
TEST(DpiAddressMap, IndexedFilesResolveUniqueAddresses) {
  e2e::TempDir dir;
  auto indirect = [](const char* name, uint64_t address) {
    profile_writer::Routine r = routine(name, {1});
    r.address = address;
    r.indirectly_called = true;
    return r;
  };
  profile_writer::Routine a = indirect("a", 0x100), b = indirect("b", 0x100);  // the same address
  profile_writer::Routine c = routine("c", {1});
  c.address = 0x200;  // not indirectly called
  profile_writer::Routine d = indirect("d", 0x200 + 991);  // the bucket of c's address
  std::vector<Opened> open;
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    open.push_back(open_bytes(dir, profile_writer::dpi_image(one_file({d, c, b, a}), layout).bytes));
    ASSERT_TRUE(open.back().file) << open.back().err;
  }
  for (const Opened& o : open) {
    const vorel::DpiFile* f = o.file.get();
    EXPECT_EQ(vorel::dpi_resolve_routine_address(f, 0x100), nullptr);
    EXPECT_EQ(vorel::dpi_resolve_routine_address(f, 0x200), nullptr);
    EXPECT_EQ(vorel::dpi_resolve_routine_address(f, 0x200 + 991), &f->index[3]);
  }
}

}  // namespace
