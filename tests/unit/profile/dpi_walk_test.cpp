// Walking the segments (segmented layout) and records (fixed layout).
#include <gtest/gtest.h>

#include "driver/catalog.h"
#include "dpi_test_support.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;
using profile_writer::DpiWriteOptions;

std::string with_leading(const std::string& leading) {
  DpiWriteOptions o;
  o.leading_bytes = leading;
  return profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented, o).bytes;
}

std::string u32_payload(uint32_t v) {
  std::string s;
  profile_writer::put_u32(s, v);
  return s;
}

TEST(DpiWalk, SkippableUnknownSegmentsWarnAndAreSkipped) {
  e2e::TempDir dir;
  // 0xD123 first, then a 0xFEEF-like unknown at the end of the file, and a
  // table of contents in the middle of the walk.
  std::string bytes = with_leading(segment(0xD123, "abc") + segment(0xD70C, "xyz")) +
                      segment(0xDFFF, "12345678");
  Opened o = open_bytes(dir, bytes);
  ASSERT_TRUE(o.file) << o.err;
  std::string path = dir.file("t.dpi");
  uint64_t first = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented).first_segment;
  char offset[32];
  std::snprintf(offset, sizeof offset, "0x%x", static_cast<unsigned>(first));
  std::snprintf(offset + 16, 16, "0x%x", static_cast<unsigned>(bytes.size() - 24));
  EXPECT_EQ(o.err, warning_prefix(vorel::kMsgSkippableSegment) + "Unrecognized segment id, 0xd123, at offset, " +
                       offset + ", in " + path + ". Attempting to skip segment.\n" +
                       warning_prefix(vorel::kMsgSkippableSegment) + "Unrecognized segment id, 0xdfff, at offset, " +
                       (offset + 16) + ", in " + path + ". Attempting to skip segment.\n");
  EXPECT_EQ(o.file->index.size(), 4u);
}

TEST(DpiWalk, RejectedFilesEndWithTheirWarningAndNoFile) {
  e2e::TempDir dir;
  std::string plain = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented).bytes;
  struct Case {
    std::string bytes;
    vorel::CatalogMessage message;
  } cases[] = {
      {with_leading(segment(0x1234, "abc")), vorel::kMsgUnrecognizedSegment},
      {plain + segment(0x1234, "abc"), vorel::kMsgUnrecognizedSegment},
      {with_leading(segment(0xD123, "")), vorel::kMsgFileCorruptIgnored},     // zero length
      {with_leading(segment(0xDA5E, u32_payload(0))), vorel::kMsgFileCorruptIgnored},  // before a routine
      {with_leading(segment(0xFEEF, "x")), vorel::kMsgFileCorruptIgnored},
      {plain.substr(0, plain.size() - 1), vorel::kMsgUnexpectedEof},         // truncated payload
      {plain + "0123456789", vorel::kMsgUnexpectedEof},                      // truncated segment header
      {plain + segment(0xDEEF, "surplus"), vorel::kMsgUnexpectedEof},        // one routine too many
  };
  for (const Case& c : cases) {
    Opened o = open_bytes(dir, c.bytes);
    EXPECT_FALSE(o.file);
    EXPECT_FALSE(o.status);
    EXPECT_EQ(o.err.rfind(warning_prefix(c.message), 0), 0u) << o.err;
  }
  Opened o = open_bytes(dir, with_leading(segment(0x1234, "abc")));
  char expected[256];
  std::snprintf(expected, sizeof expected,
                "File '%s' is corrupt. Unrecognized segment id, 0x1234, at offset, 0x%x.\n",
                dir.file("t.dpi").c_str(),
                static_cast<unsigned>(profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented).first_segment));
  EXPECT_EQ(o.err, warning_prefix(vorel::kMsgUnrecognizedSegment) + expected);
}

TEST(DpiWalk, AnnouncedRoutineCountMustMatch) {
  e2e::TempDir dir;
  for (DpiLayout layout : {DpiLayout::kSegmented, DpiLayout::kFixed}) {
    profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), layout);
    uint64_t count_at = layout == DpiLayout::kFixed ? 8 : 24;
    for (uint32_t count : {3u, 5u, 0x7FFFFFFFu}) {
      // The fixed layout reads only the announced records: 3 of 4 is fine.
      if (layout == DpiLayout::kFixed && count == 3) continue;
      std::string bytes = image.bytes;
      patch32(bytes, count_at, count);
      Opened o = open_bytes(dir, bytes);
      EXPECT_FALSE(o.file);
      EXPECT_FALSE(o.status);
      EXPECT_EQ(o.err, warning_prefix(vorel::kMsgUnexpectedEof) + "File '" + dir.file("t.dpi") +
                           "' corrupt. Unexpected end-of-file.\n");
    }
  }
}

TEST(DpiWalk, FixedRecordsThatCannotMoveOnAreRejected) {
  e2e::TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), DpiLayout::kFixed);
  std::string zero = image.bytes;
  patch32(zero, image.record_pos[1] + 4, 0);  // record length 0: the walk would stand still
  Opened o = open_bytes(dir, zero);
  EXPECT_FALSE(o.file);
  EXPECT_EQ(o.err.rfind(warning_prefix(vorel::kMsgFileCorruptIgnored), 0), 0u) << o.err;
  std::string past = image.bytes;
  patch32(past, image.record_pos[3] + 4, 0x10000);
  o = open_bytes(dir, past);
  EXPECT_FALSE(o.file);
  EXPECT_EQ(o.err.rfind(warning_prefix(vorel::kMsgUnexpectedEof), 0), 0u) << o.err;
}

TEST(DpiWalk, FixedLayoutCountsFewerThanRecordsIndexesTheAnnouncedOnes) {
  e2e::TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), DpiLayout::kFixed);
  patch32(image.bytes, 8, 3);
  Opened o = open_bytes(dir, image.bytes);
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(o.file->index.size(), 3u);
}

}  // namespace
