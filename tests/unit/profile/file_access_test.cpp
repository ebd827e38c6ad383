// Checked file access: byte-order mark, fatal short reads and seeks, the
// shared line reader.
#include "profile/file_access.h"

#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "spi_test_support.h"

namespace {

using vorel::LineMode;
using vorel::read_line;

struct OpenFile {
  std::FILE* fp;
  ~OpenFile() {
    if (fp) std::fclose(fp);
  }
};

TEST(FileAccess, TextModeSkipsAUtf8ByteOrderMarkOnly) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("bom"), "\xEF\xBB\xBFV07\n");
  e2e::write_file(dir.file("half"), "\xEF\xBBV\n");
  OpenFile bom{vorel::profile_open(dir.file("bom").c_str(), "rt")};
  OpenFile half{vorel::profile_open(dir.file("half").c_str(), "rt")};
  OpenFile raw{vorel::profile_open(dir.file("bom").c_str(), "rb")};
  ASSERT_TRUE(bom.fp && half.fp && raw.fp);
  EXPECT_EQ(read_line(LineMode::kText, bom.fp), "V07");
  EXPECT_EQ(read_line(LineMode::kText, half.fp), "\xEF\xBBV");
  EXPECT_EQ(read_line(LineMode::kBinary, raw.fp), "\xEF\xBB\xBFV07");
  EXPECT_EQ(vorel::profile_open(dir.file("none").c_str(), "rt"), nullptr);
}

TEST(FileAccess, ShortReadIsFatal) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("five"), "12345");
  OpenFile f{vorel::profile_open(dir.file("five").c_str(), "rb")};
  char buf[8];
  auto stop = test_support::capture([&] { vorel::checked_read(buf, 1, 8, f.fp, "five.spi"); });
  EXPECT_TRUE(stop.status.has_value());
  EXPECT_EQ(stop.status, 1);
  EXPECT_EQ(stop.err, "five.spi: Input/output error\nFATAL ERROR: fread on file five.spi failed\n");
  std::rewind(f.fp);
  stop = test_support::capture([&] { vorel::checked_read(buf, 1, 8, f.fp, nullptr); });
  EXPECT_EQ(stop.err, "Input/output error\nFATAL ERROR: fread on file failed\n");
  std::rewind(f.fp);
  EXPECT_EQ(vorel::checked_read(buf, 1, 5, f.fp, "five.spi"), 5u);
}

TEST(FileAccess, FailedSeeksAreFatal) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("f"), "x");
  OpenFile f{vorel::profile_open(dir.file("f").c_str(), "rb")};
  auto stop = test_support::capture([&] { vorel::checked_seek(f.fp, -5, SEEK_SET, "f.dpi"); });
  EXPECT_EQ(stop.status, 1);
  EXPECT_NE(stop.err.find("FATAL ERROR: fseek on file f.dpi failed\n"), std::string::npos);
  stop = test_support::capture([&] { vorel::checked_seek64(f.fp, UINT64_MAX, "f.spi"); });
  EXPECT_NE(stop.err.find("FATAL ERROR: zentra_fseek64 on file f.spi failed\n"), std::string::npos);
}

TEST(FileAccess, LineReaderLineEndsAndEndOfFile) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("l"), "a\r\n\nb\rc");
  OpenFile text{vorel::profile_open(dir.file("l").c_str(), "rt")};
  OpenFile binary{vorel::profile_open(dir.file("l").c_str(), "rb")};
  EXPECT_EQ(read_line(LineMode::kText, text.fp), "a");
  EXPECT_EQ(read_line(LineMode::kText, text.fp), "");
  EXPECT_EQ(read_line(LineMode::kText, text.fp), "b\rc");  // a lone CR stays
  EXPECT_EQ(read_line(LineMode::kText, text.fp), "");      // at end of file
  EXPECT_EQ(read_line(LineMode::kText, text.fp), "");
  EXPECT_EQ(read_line(LineMode::kBinary, binary.fp), "a\r");
}

TEST(FileAccess, LongLinesGrowTheSharedBufferIn2000ByteSteps) {
  e2e::TempDir dir;
  std::string long_line(9000, 'x');
  e2e::write_file(dir.file("l"), "short\n" + long_line + "\nend");
  OpenFile f{vorel::profile_open(dir.file("l").c_str(), "rb")};
  EXPECT_EQ(read_line(LineMode::kBinary, f.fp), "short");
  EXPECT_GE(vorel::line_buffer_capacity(), 2000u);
  EXPECT_EQ(read_line(LineMode::kBinary, f.fp), long_line);
  EXPECT_EQ(vorel::line_buffer_capacity(), 10000u);  // the longest line of the test program
  EXPECT_EQ(read_line(LineMode::kBinary, f.fp), "end");
  EXPECT_EQ(vorel::line_buffer_capacity(), 10000u);  // never shrinks
}

TEST(FileAccess, AssertxNamesPathLineAndCondition) {
  auto stop = test_support::capture([] { ASSERTX(vorel::kReaderPath, 1 + 1 == 3); });
  EXPECT_EQ(stop.status, 1);
  EXPECT_EQ(stop.err, "shared/zentra/client:" + std::to_string(__LINE__ - 2) + " ASSERTX(1 + 1 == 3)\n");
}

}  // namespace
