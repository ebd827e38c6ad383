// Opening a dynamic profile file: header layouts, properties and failures.
// The unrecognised-header and no-runs messages are pinned end to end
// (tests/e2e/dpi_open_test.cpp).
#include <gtest/gtest.h>

#include "driver/catalog.h"
#include "dpi_test_support.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;
using profile_writer::dpi_image;

const DpiLayout kLayouts[] = {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc};

TEST(DpiHeader, ShortHeadersMissingFilesAndNoRuns) {
  e2e::TempDir dir;
  std::string segmented = dpi_image(basic_program(), DpiLayout::kSegmented).bytes;
  std::string fixed = dpi_image(basic_program(), DpiLayout::kFixed).bytes;
  std::string toc = dpi_image(basic_program(), DpiLayout::kSegmentedToc).bytes;
  for (const std::string& bytes :
       {std::string("\x12\xDC"), segmented.substr(0, 100), fixed.substr(0, 527), toc.substr(0, 548)}) {
    Opened o = open_bytes(dir, bytes);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err.rfind(error_prefix(vorel::kMsgCantReadDpi), 0), 0u) << o.err;  // no warning first
  }
  Opened absent = open_dpi(dir.file("absent.dpi"));
  EXPECT_FALSE(absent.file || absent.status);
  EXPECT_EQ(absent.err, "");
  profile_writer::Program runless = basic_program();
  runless.runs = 0;
  for (DpiLayout layout : kLayouts) {
    Opened o = open_bytes(dir, dpi_image(runless, layout).bytes);
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find(error_prefix(vorel::kMsgDpiNoRuns)), std::string::npos) << o.err;
  }
}

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

TEST(DpiHeader, NoRoutinesGivesAnEmptyIndex) {
  e2e::TempDir dir;
  for (DpiLayout layout : kLayouts) {
    // Whatever follows the header is not looked at.
    Opened o = open_bytes(dir, dpi_image(one_file({}), layout).bytes + "garbage");
    ASSERT_TRUE(o.file) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(o.file->index.empty());
    EXPECT_EQ(vorel::DPI_find_any(o.file.get(), "a.c", "f"), nullptr);
  }
}

}  // namespace
