// Opening a dynamic profile file: header layouts and properties, then the
// walk over segments (segmented layout) and records (fixed layout). The
// unrecognised-header, unrecognised-segment and no-runs messages are pinned
// end to end (tests/e2e/dpi_open_test.cpp).
#include <gtest/gtest.h>

#include "base/catalog.h"
#include "dpi_test_support.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;
using profile_writer::dpi_image;
using profile_writer::patch_u32;
using profile_writer::segment;

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

profile_writer::DpiImage image(DpiLayout layout, const std::string& leading = "") {
  profile_writer::DpiWriteOptions o;
  o.leading_bytes = leading;
  return profile_writer::dpi_image(basic_program(), layout, o);
}


// Each failed walk gives no file after its warning; the run goes on.
TEST(DpiWalk, RejectedFilesEndWithTheirWarningAndNoFile) {
  e2e::TempDir dir;
  const std::string plain = image(DpiLayout::kSegmented).bytes;
  const profile_writer::DpiImage fixed = image(DpiLayout::kFixed);
  auto patched = [](std::string bytes, uint64_t at, uint32_t v) {
    patch_u32(bytes, at, v);
    return bytes;
  };
  std::string u32_zero;
  profile_writer::put_u32(u32_zero, 0);
  const std::string eof = "File '" + dir.file("t.dpi") + "' corrupt. Unexpected end-of-file.\n";
  struct Case {
    std::string bytes;
    vorel::CatalogMessage message;
    std::string text = "";  // checked when given
  } cases[] = {
      // An unrecognised segment id is pinned end to end.
      {image(DpiLayout::kSegmented, segment(0xD123, "")).bytes, vorel::kMsgFileCorruptIgnored,  // zero length
       "File '" + dir.file("t.dpi") + "' corrupt, ignored.\n"},
      {image(DpiLayout::kSegmented, segment(0xDA5E, u32_zero)).bytes, vorel::kMsgFileCorruptIgnored},  // before a routine
      {plain.substr(0, plain.size() - 1), vorel::kMsgUnexpectedEof, eof},  // truncated payload
      {plain + "0123456789", vorel::kMsgUnexpectedEof},                   // truncated segment header
      {plain + segment(0xDEEF, "surplus"), vorel::kMsgUnexpectedEof},     // one routine too many
      // Announced routine counts larger than the file holds.
      {patched(plain, 24, 0x7FFFFFFF), vorel::kMsgUnexpectedEof, eof},
      {patched(fixed.bytes, 8, 0x7FFFFFFF), vorel::kMsgUnexpectedEof, eof},
      // Fixed records that cannot move on: length 0 would stand still.
      {patched(fixed.bytes, fixed.record_pos[1] + 4, 0), vorel::kMsgFileCorruptIgnored},
      {patched(fixed.bytes, fixed.record_pos[3] + 4, 0x10000), vorel::kMsgUnexpectedEof},
  };
  for (const Case& c : cases) {
    Opened o = open_bytes(dir, c.bytes);
    EXPECT_FALSE(o.file || o.status);
    EXPECT_EQ(o.err.rfind(warning_prefix(c.message), 0), 0u) << o.err;
    if (!c.text.empty()) {
      EXPECT_EQ(o.err, warning_prefix(c.message) + c.text);
    }
  }
  // The fixed layout reads only the announced records: 3 of 4 is fine.
  Opened o = open_bytes(dir, patched(fixed.bytes, 8, 3));
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(o.file->index.size(), 3u);
}

}  // namespace
