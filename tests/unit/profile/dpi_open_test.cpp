// Header properties of a dynamic profile file. The messages of rejected and
// corrupt files are pinned end to end (tests/e2e/dpi_open_test.cpp); the
// corrupt layouts are in the fuzz corpus (tests/fuzz/corpus/dpi).
#include <gtest/gtest.h>

#include "base/catalog.h"
#include "dpi_test_support.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;
using profile_writer::dpi_image;

TEST(DpiHeader, PropertiesAndTheirExtensionFields) {
  e2e::TempDir dir;
  profile_writer::DpiWriteOptions unknown;
  unknown.extra_properties = 0x10;
  Opened o = open_bytes(dir, dpi_image(basic_program(), DpiLayout::kSegmented, unknown).bytes);
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(o.err, warning_prefix(vorel::kMsgUnrecognizedProperties) + dir.file("t.dpi") +
                       " contains unrecognized properties value, 0x10, in header. Data may be ignored.\n");
  EXPECT_EQ(o.file->index.size(), 4u);

  // The node value and the second header string move the index on.
  profile_writer::DpiWriteOptions options;
  options.extra_properties = 1 | 2 | 8;
  options.node_value = 0x1122334455667788ull;
  options.second_header_string = "second";
  for (DpiLayout layout : {DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    o = open_bytes(dir, dpi_image(basic_program(), layout, options).bytes);
    ASSERT_TRUE(o.file) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.file->second_header_string, "second");
    EXPECT_EQ(o.file->index.size(), 4u);
  }
}

}  // namespace
