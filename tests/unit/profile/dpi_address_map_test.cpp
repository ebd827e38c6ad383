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

// Only indirectly called routines are registered, after the index is
// sorted; an address registered twice resolves to nothing; virtual tables
// have their own map. Every layout reads the addresses.
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
  d.vtable_address = 0x9000;
  d.vtable_name = "vtbl_d";
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    Opened o = open_bytes(dir, profile_writer::dpi_image(one_file({d, c, b, a}), layout).bytes);
    ASSERT_TRUE(o.file) << o.err;
    const vorel::dpi_file* f = o.file.get();
    EXPECT_EQ(vorel::DPI_resolve_routine_address(f, 0x100), nullptr);
    EXPECT_EQ(vorel::DPI_resolve_routine_address(f, 0x200), nullptr);
    EXPECT_EQ(vorel::DPI_resolve_routine_address(f, 0x200 + 991), &f->index[3]);
    ASSERT_NE(vorel::DPI_resolve_vtable_address(f, 0x9000), nullptr);
    EXPECT_EQ(*vorel::DPI_resolve_vtable_address(f, 0x9000), "vtbl_d");
    EXPECT_EQ(vorel::DPI_resolve_vtable_address(f, 0x100), nullptr);
  }
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
