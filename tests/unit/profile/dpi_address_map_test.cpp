// Address maps: routine and virtual-table addresses of an indexed file.
#include <gtest/gtest.h>

#include "dpi_test_support.h"
#include "profile/dpi_address_map.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;

TEST(DpiAddressMap, SharedBucketsAndAmbiguousAddresses) {
  vorel::DpiAddressMap map;
  EXPECT_EQ(map.resolve(991), nullptr);
  map.add(991, 1);
  map.add(1982, 2);  // same bucket 0
  map.add(5, 3);
  map.add(996, 4);   // bucket 5, between the two registrations of 5
  map.add(5, 5);
  ASSERT_NE(map.resolve(991), nullptr);
  EXPECT_EQ(*map.resolve(991), 1u);
  EXPECT_EQ(*map.resolve(1982), 2u);
  EXPECT_EQ(*map.resolve(996), 4u);
  EXPECT_EQ(map.resolve(5), nullptr);  // registered twice, not next to each other
  EXPECT_EQ(map.resolve(0), nullptr);
  EXPECT_EQ(map.resolve(2973), nullptr);
  map.add(1982, 6);  // a registration after lookups is seen too
  EXPECT_EQ(map.resolve(1982), nullptr);
  EXPECT_EQ(*map.resolve(991), 1u);
}

TEST(DpiAddressMap, IndexedFileResolvesItsRoutinesAndTables) {
  e2e::TempDir dir;
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    Opened o = open_bytes(dir, profile_writer::dpi_image(basic_program(), layout).bytes);
    ASSERT_TRUE(o.file) << o.err;
    const vorel::dpi_file* f = o.file.get();
    const vorel::dpi_toc_entry* t = vorel::DPI_resolve_routine_address(f, 0x4000);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->func_name, "target");  // found after the index was sorted
    ASSERT_NE(vorel::DPI_resolve_routine_address(f, 0x5000), nullptr);
    EXPECT_EQ(vorel::DPI_resolve_routine_address(f, 0x5000)->func_name, "C::m");
    EXPECT_EQ(vorel::DPI_resolve_routine_address(f, 0), nullptr);
    ASSERT_NE(vorel::DPI_resolve_vtable_address(f, 0x9000), nullptr);
    EXPECT_EQ(*vorel::DPI_resolve_vtable_address(f, 0x9000), "vtbl_C");
    EXPECT_EQ(vorel::DPI_resolve_vtable_address(f, 0x4000), nullptr);
  }
}

TEST(DpiAddressMap, OnlyIndirectlyCalledRoutinesAndUniqueAddressesResolve) {
  e2e::TempDir dir;
  profile_writer::Routine a = routine("a", {1});
  a.address = 0x100;
  a.indirectly_called = true;
  profile_writer::Routine b = routine("b", {1});
  b.address = 0x100;  // the same address again
  b.indirectly_called = true;
  profile_writer::Routine c = routine("c", {1});
  c.address = 0x200;  // not indirectly called: not registered
  profile_writer::Routine d = routine("d", {1});
  d.address = 0x200 + 991;
  d.indirectly_called = true;
  Opened o = open_bytes(dir, profile_writer::dpi_image(one_file({a, b, c, d}), DpiLayout::kSegmented).bytes);
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(vorel::DPI_resolve_routine_address(o.file.get(), 0x100), nullptr);
  EXPECT_EQ(vorel::DPI_resolve_routine_address(o.file.get(), 0x200), nullptr);
  ASSERT_NE(vorel::DPI_resolve_routine_address(o.file.get(), 0x200 + 991), nullptr);
}

TEST(DpiAddressMap, TwoOpenFilesKeepTheirOwnMaps) {
  // With -ref two dynamic files of the same program are open: each resolves
  // its own routines.
  e2e::TempDir dir;
  profile_writer::write_dpi(basic_program(), dir.file("a.dpi"), DpiLayout::kSegmented);
  profile_writer::write_dpi(basic_program(), dir.file("b.dpi"), DpiLayout::kSegmentedToc);
  Opened a = open_dpi(dir.file("a.dpi"));
  Opened b = open_dpi(dir.file("b.dpi"));
  ASSERT_TRUE(a.file && b.file);
  const vorel::dpi_toc_entry* ta = vorel::DPI_resolve_routine_address(a.file.get(), 0x4000);
  const vorel::dpi_toc_entry* tb = vorel::DPI_resolve_routine_address(b.file.get(), 0x4000);
  ASSERT_TRUE(ta && tb);
  EXPECT_EQ(ta, &a.file->index[3]);
  EXPECT_EQ(tb, &b.file->index[3]);
}

}  // namespace
