// The importer's two outputs are one transaction: a failed dynamic file
// leaves the static one as it was, and imports writing in one directory
// take turns.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#endif

#include "report_snapshot.h"
#include "spawn.h"

namespace e2e {
namespace {

std::string input(const char* name) { return source_dir() + "/tests/e2e/data/import_outputs/" + name; }

TEST(ImportOutputs, AFailedDynamicFileKeepsTheStaticFile) {
  TempDir dir;
  ASSERT_EQ(run_program(importer_path(), {"--keep-external", "--no-markers", "--spi", "t.spi", "--dpi", "t.dpi", input("one.gcov.json")}, dir.path())
                .status, 0);
  const std::string spi = dir.read("t.spi");
  std::filesystem::create_directory(dir.file("d.dpi"));
  RunResult r = run_program(importer_path(), {"--keep-external", "--no-markers", "--spi", "t.spi", "--dpi", "d.dpi", input("two.gcov.json")}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "vorelcov-import-gcov: cannot write d.dpi: Is a directory\n");
  EXPECT_EQ(dir.read("t.spi"), spi);
  EXPECT_EQ(temporaries(dir.path()), std::vector<std::string>{});
}

#ifndef _WIN32
// An import waits while another process holds the lock of its outputs'
// directory (as a vorelcov run there does) and writes both files after.
TEST(ImportOutputs, ImportsInOneDirectoryTakeTurns) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("out"));
  const int lock = ::open(dir.file("out").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  const pid_t pid = spawn(importer_path(), {"--keep-external", "--no-markers", "--spi", "out/t.spi", "--dpi", "out/t.dpi", input("one.gcov.json")},
                          dir.path());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(list_dir(dir.file("out")), std::vector<std::string>{});
  ::close(lock);
  EXPECT_EQ(wait_for(pid), 0);
  EXPECT_EQ(list_dir(dir.file("out")), (std::vector<std::string>{"t.dpi", "t.spi"}));
}
#endif

}  // namespace
}  // namespace e2e
