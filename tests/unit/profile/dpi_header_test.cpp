// Opening a dynamic profile file: header layouts, properties and failures.
#include <gtest/gtest.h>

#include "driver/catalog.h"
#include "dpi_test_support.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;

TEST(DpiHeader, UnknownMagicIsRejectedAfterTheHeaderWarning) {
  e2e::TempDir dir;
  Opened o = open_bytes(dir, std::string(600, 'x'));
  std::string path = dir.file("t.dpi");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, warning_prefix(vorel::kMsgUnrecognizedDpiHeader) + path +
                       " has unrecognized dpi file header, ignored.\n" +
                       error_prefix(vorel::kMsgCantReadDpi) + "Can't read .dpi file, " + path + "\n");
}

TEST(DpiHeader, ShortHeadersCannotBeRead) {
  e2e::TempDir dir;
  std::string cant_read = error_prefix(vorel::kMsgCantReadDpi);
  std::string segmented = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented).bytes;
  std::string fixed = profile_writer::dpi_image(basic_program(), DpiLayout::kFixed).bytes;
  std::string toc = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmentedToc).bytes;
  for (const std::string& bytes :
       {std::string("\x12\xDC"), segmented.substr(0, 100), fixed.substr(0, 527), toc.substr(0, 548)}) {
    Opened o = open_bytes(dir, bytes);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err.rfind(cant_read, 0), 0u) << o.err;  // no header warning first
  }
}

TEST(DpiHeader, MissingFileGivesNoneSilently) {
  e2e::TempDir dir;
  Opened o = open_dpi(dir.file("absent.dpi"));
  EXPECT_FALSE(o.file);
  EXPECT_FALSE(o.status);
  EXPECT_EQ(o.err, "");
}

TEST(DpiHeader, ZeroRunsIsRejectedInEveryLayout) {
  e2e::TempDir dir;
  profile_writer::Program p = basic_program();
  p.runs = 0;
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    Opened o = open_bytes(dir, profile_writer::dpi_image(p, layout).bytes);
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find(error_prefix(vorel::kMsgDpiNoRuns)), std::string::npos) << o.err;
  }
}

TEST(DpiHeader, UnknownPropertiesWarnAndReadingGoesOn) {
  e2e::TempDir dir;
  profile_writer::DpiWriteOptions options;
  options.extra_properties = 0x10;
  Opened o = open_bytes(dir, profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented, options).bytes);
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(o.err, warning_prefix(vorel::kMsgUnrecognizedProperties) + dir.file("t.dpi") +
                       " contains unrecognized properties value, 0x10, in header. Data may be ignored.\n");
  EXPECT_EQ(o.file->index.size(), 4u);
}

TEST(DpiHeader, PropertyExtensionFieldsAreReadInOrder) {
  e2e::TempDir dir;
  profile_writer::DpiWriteOptions options;
  options.extra_properties = 1 | 2 | 8;
  options.node_value = 0x1122334455667788ull;
  options.second_header_string = "second";
  options.header_value = 42;
  for (DpiLayout layout : {DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    Opened o = open_bytes(dir, profile_writer::dpi_image(basic_program(), layout, options).bytes);
    ASSERT_TRUE(o.file) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(o.file->property_flag0);
    EXPECT_EQ(o.file->second_header_string, "second");
    EXPECT_EQ(o.file->header_value, 42u);
    EXPECT_EQ(o.file->magic, 0xDC12u);
    EXPECT_TRUE(o.file->segmented);
    EXPECT_EQ(o.file->index.size(), 4u);
  }
}

TEST(DpiHeader, HeaderStringIsCutAt511Bytes) {
  e2e::TempDir dir;
  profile_writer::Program p = basic_program();
  std::string image = profile_writer::dpi_image(p, DpiLayout::kFixed).bytes;
  image.replace(16, 512, std::string(512, 'h'));
  Opened o = open_bytes(dir, image);
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(o.file->header_string, std::string(511, 'h'));
  EXPECT_EQ(o.file->magic, 0xDC0Bu);
  EXPECT_FALSE(o.file->segmented);
}

TEST(DpiHeader, NoRoutinesGivesAnEmptyIndex) {
  e2e::TempDir dir;
  profile_writer::Program p = one_file({});
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    // Whatever follows the header is not looked at.
    Opened o = open_bytes(dir, profile_writer::dpi_image(p, layout).bytes + "garbage");
    ASSERT_TRUE(o.file) << o.err;
    EXPECT_EQ(o.err, "");
    EXPECT_TRUE(o.file->index.empty());
    EXPECT_EQ(vorel::DPI_find_any(o.file.get(), "a.c", "f"), nullptr);
  }
}

}  // namespace
