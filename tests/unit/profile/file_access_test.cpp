// Checked file access: fatal short reads and seeks, the assertion line.
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
