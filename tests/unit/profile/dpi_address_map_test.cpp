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
    const vorel::dpi_file* f = o.file.get();
    EXPECT_EQ(vorel::DPI_resolve_routine_address(f, 0x100), nullptr);
    EXPECT_EQ(vorel::DPI_resolve_routine_address(f, 0x200), nullptr);
    EXPECT_EQ(vorel::DPI_resolve_routine_address(f, 0x200 + 991), &f->index[3]);
  }
}

}  // namespace
