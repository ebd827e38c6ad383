#include "platform/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <unistd.h>
#else
#include <io.h>
#endif

#include <filesystem>

#include "e2e/harness.h"

namespace vorel {
namespace {

// Writes `text` to a new output at `path`; the result of output_finish.
bool write_output(const std::string& path, const std::string& text) {
  std::FILE* out = output_open(path);
  if (!out) return false;
  std::fputs(text.c_str(), out);
  return output_finish(out);
}

#ifndef _WIN32
// Every write of the stream fails as on a full disk: its descriptor is
// pointed at /dev/full. Nothing appears, no temporary file stays.
TEST(OutputFile, AFailedWriteIsReportedAndLeavesNothing) {
  e2e::TempDir dir;
  const std::string path = dir.file("page.html");
  std::FILE* out = output_open(path);
  ASSERT_NE(out, nullptr);
  const int full = ::open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  ASSERT_GE(::dup2(full, ::fileno(out)), 0);
  ::close(full);
  std::fputs("<html>\n", out);
  EXPECT_FALSE(output_finish(out));
  EXPECT_EQ(e2e::list_dir(dir.path()), std::vector<std::string>{});
}

// A symbolic link at the target is replaced, its target left alone; an
// existing file's permission bits carry over; a directory is refused.
TEST(OutputFile, ReplacesLinksAndKeepsModes) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("victim"), "keep");
  std::filesystem::create_symlink(dir.file("victim"), dir.file("link"));
  ASSERT_TRUE(write_output(dir.file("link"), "new"));
  EXPECT_EQ(dir.read("victim"), "keep");
  EXPECT_FALSE(std::filesystem::is_symlink(dir.file("link")));
  EXPECT_EQ(dir.read("link"), "new");

  std::filesystem::permissions(dir.file("victim"), std::filesystem::perms(0640));
  ASSERT_TRUE(write_output(dir.file("victim"), "v2"));
  EXPECT_EQ(std::filesystem::status(dir.file("victim")).permissions(), std::filesystem::perms(0640));

  std::filesystem::create_directory(dir.file("sub"));
  EXPECT_EQ(output_open(dir.file("sub")), nullptr);
}
#else
// Every write of the stream fails: its descriptor is pointed at a file open
// for reading. Nothing appears, no temporary file stays.
TEST(OutputFile, AFailedWriteIsReportedAndLeavesNothing) {
  e2e::TempDir dir, other;
  e2e::write_file(other.file("r"), "");
  std::FILE* out = output_open(dir.file("page.html"));
  ASSERT_NE(out, nullptr);
  const int read_only = ::_open(other.file("r").c_str(), _O_RDONLY);
  ASSERT_GE(read_only, 0);
  ASSERT_GE(::_dup2(read_only, ::_fileno(out)), 0);
  ::_close(read_only);
  std::fputs("<html>\n", out);
  EXPECT_FALSE(output_finish(out));
  EXPECT_EQ(e2e::list_dir(dir.path()), std::vector<std::string>{});
}

// An existing file is replaced (MoveFileExW); text outputs end their lines
// with CR LF, binary ones keep their bytes; a directory is refused.
TEST(OutputFile, ReplacesFilesInTextOrBinaryMode) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("page"), "old");
  ASSERT_TRUE(write_output(dir.file("page"), "a\nb\n"));
  EXPECT_EQ(dir.read("page"), "a\r\nb\r\n");
  std::FILE* image = output_open_binary(dir.file("page"));
  ASSERT_NE(image, nullptr);
  std::fputs("a\nb\n", image);
  ASSERT_TRUE(output_finish(image));
  EXPECT_EQ(dir.read("page"), "a\nb\n");
  std::filesystem::create_directory(dir.file("sub"));
  EXPECT_EQ(output_open(dir.file("sub")), nullptr);
}
#endif

// Inside a transaction nothing is in place before the commit; an abandoned
// transaction removes its temporary files and the directory it made.
TEST(OutputFile, TransactionsCommitOrLeaveNothing) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("a"), "old");
  for (bool commit : {false, true}) {
    output_begin();
    ASSERT_EQ(output_directory(dir.file("made")), DirectoryState::kReady);
    ASSERT_TRUE(write_output(dir.file("a"), "new"));
    ASSERT_TRUE(write_output(dir.file("made/b"), "b"));
    EXPECT_EQ(dir.read("a"), "old");
    std::string failed;
    if (commit) {
      EXPECT_TRUE(output_commit(&failed));
      EXPECT_EQ(dir.read("a"), "new");
      EXPECT_EQ(dir.read("made/b"), "b");
    } else {
      output_abandon();
      EXPECT_EQ(e2e::list_dir(dir.path()), std::vector<std::string>{"a"});
      EXPECT_EQ(dir.read("a"), "old");
    }
  }
#ifndef _WIN32  // links need privileges on Windows
  std::filesystem::create_directory_symlink(dir.file("made"), dir.file("linked"));
  EXPECT_EQ(output_directory(dir.file("linked")), DirectoryState::kSymlink);
#endif
}

}  // namespace
}  // namespace vorel
