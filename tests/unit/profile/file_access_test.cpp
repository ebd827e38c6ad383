// Checked file access: byte-order mark, fatal short reads and seeks, the
// shared line reader, the assertion line.
#include "profile/file_access.h"

#include <gtest/gtest.h>

#include <memory>

#include "capture.h"
#include "e2e/harness.h"

namespace {

using test_support::capture;
using vorel::LineMode;
using vorel::read_line;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
File open(const std::string& path, const char* mode) { return File(vorel::profile_open(path.c_str(), mode), std::fclose); }

// Text mode skips a UTF-8 byte-order mark only, and drops the CR of a CR LF
// (a lone CR stays); lines end at end of file; binary mode keeps bytes.
TEST(FileAccess, LineReader) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("bom"), "\xEF\xBB\xBFV07\n");
  e2e::write_file(dir.file("half"), "\xEF\xBBV\n");
  e2e::write_file(dir.file("l"), "a\r\n\nb\rc");
  EXPECT_EQ(read_line(LineMode::kText, open(dir.file("bom"), "rt").get()), "V07");
  EXPECT_EQ(read_line(LineMode::kText, open(dir.file("half"), "rt").get()), "\xEF\xBBV");
  EXPECT_EQ(read_line(LineMode::kBinary, open(dir.file("bom"), "rb").get()), "\xEF\xBB\xBFV07");
  EXPECT_EQ(read_line(LineMode::kBinary, open(dir.file("l"), "rb").get()), "a\r");
  File text = open(dir.file("l"), "rt");
  for (const char* line : {"a", "", "b\rc", "", ""}) EXPECT_EQ(read_line(LineMode::kText, text.get()), line);
  EXPECT_EQ(vorel::profile_open(dir.file("none").c_str(), "rt"), nullptr);
  // The shared buffer grows for a long line.
  const std::string long_line(9000, 'x');
  e2e::write_file(dir.file("long"), long_line + "\nend");
  File f = open(dir.file("long"), "rb");
  EXPECT_EQ(read_line(LineMode::kBinary, f.get()), long_line);
  EXPECT_EQ(read_line(LineMode::kBinary, f.get()), "end");
  // A byte of value 0 is part of the line.
  e2e::write_file(dir.file("zero"), std::string("a\0b\r\nc", 6));
  File zero = open(dir.file("zero"), "rt");
  ASSERT_NE(zero.get(), nullptr);
  EXPECT_EQ(read_line(LineMode::kText, zero.get()), std::string("a\0b", 3));
  EXPECT_EQ(read_line(LineMode::kText, zero.get()), "c");
}

TEST(FileAccess, ShortReadsFailedSeeksAndAssertionsEndTheRun) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("five"), "12345");
  File f = open(dir.file("five"), "rb");
  char buf[8];
  auto named = capture([&] { vorel::checked_read(buf, 1, 8, f.get(), "five.spi"); });
  std::rewind(f.get());
  auto unnamed = capture([&] { vorel::checked_read(buf, 1, 8, f.get(), nullptr); });
  std::rewind(f.get());
  EXPECT_EQ(vorel::checked_read(buf, 1, 5, f.get(), "five.spi"), 5u);
  auto seek = capture([&] { vorel::checked_seek(f.get(), -5, SEEK_SET, "f.dpi"); });
  auto seek64 = capture([&] { vorel::checked_seek64(f.get(), UINT64_MAX, "f.spi"); });
  auto assertion = capture([] { ASSERTX(vorel::kReaderPath, 1 + 1 == 3); });
  const int line = __LINE__ - 1;
  for (const auto* c : {&named, &unnamed, &seek, &seek64, &assertion}) EXPECT_EQ(c->status, 1);
  EXPECT_EQ(named.err, "five.spi: Input/output error\nFATAL ERROR: fread on file five.spi failed\n");
  EXPECT_EQ(unnamed.err, "Input/output error\nFATAL ERROR: fread on file failed\n");
  EXPECT_NE(seek.err.find("FATAL ERROR: fseek on file f.dpi failed\n"), std::string::npos);
  EXPECT_NE(seek64.err.find("FATAL ERROR: zentra_fseek64 on file f.spi failed\n"), std::string::npos);
  EXPECT_EQ(assertion.err, "shared/zentra/client:" + std::to_string(line) + " ASSERTX(1 + 1 == 3)\n");
}

}  // namespace
