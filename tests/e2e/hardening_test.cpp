// Hostile inputs the binary must survive with a normal exit and well-formed
// outputs: names too deep for the undecorator, names XML cannot hold as
// they are, and a profile file another process keeps locked.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

#include <thread>

#include "cli_expect.h"
#include "profile_writer/program.h"

namespace {

namespace pw = profile_writer;

std::string repeat(const std::string& unit, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += unit;
  return out;
}

// main calls the given routines; one more routine, `dpi_only`, has only a
// dynamic record. Every block ran once.
void write_program(const e2e::TempDir& dir, const std::vector<std::string>& names,
                   const std::string& dpi_only = "", const std::string& file = "m.c") {
  std::vector<pw::Routine> routines = {pw::routine("main", 1, 2, {{1, 1, 1}})};
  uint32_t line = 3;
  for (const std::string& name : names) {
    routines[0].calls.push_back(pw::CallSite{name, 0, 1, false});
    routines.push_back(pw::routine(name, line, line, {{line, 1, 1}}));
    ++line;
  }
  if (!dpi_only.empty()) {
    routines.push_back(pw::routine(dpi_only, line, line, {{line, 1, 1}}));
    routines.back().in_spi = false;
  }
  pw::Program p;
  p.modules = {pw::module("", file, routines)};
  pw::write_spi(p, dir.file("t.spi"), pw::SpiLayout::kTextV7);
  pw::write_dpi(p, dir.file("t.dpi"), pw::DpiLayout::kSegmented);
  e2e::write_file(dir.file("m.c"), repeat("x\n", line + 1));
}

// Under the POSIX rules on every host: the Windows rules drop the leading '_'
// of the Itanium names these tests expect back unchanged.
e2e::RunResult run(const e2e::TempDir& dir, std::vector<std::string> args) {
  std::vector<std::string> all = {"-spi", "t.spi", "-dpi", "t.dpi", "-nopmeter"};
  all.insert(all.end(), args.begin(), args.end());
  return e2e::run_vorelcov(all, dir.path());
}

// About 100 KB of nesting in both decoration schemes: kept as they are in
// every output mode, with or without -demang.
TEST(Hardening, NamesTooDeepForTheUndecoratorAreKept) {
  const std::string itanium = "_Z1f" + repeat("P", 100000) + "i";
  const std::string microsoft = "?f@@YAX" + repeat("PEA", 100000) + "H@Z";
  const std::string dpi_only = "_Z1g" + repeat("P", 100000) + "i";
  e2e::TempDir dir;
  write_program(dir, {itanium, microsoft}, dpi_only);
  const std::vector<std::vector<std::string>> modes = {
      {}, {"-txtlcov"}, {"-txtfcvrg", "f.txt"}, {"-txtdcg", "cg.txt"}};
  for (const auto& mode : modes)
    for (bool demangle : {false, true}) {
      std::vector<std::string> args = mode;
      if (demangle) args.push_back("-demang");
      e2e::RunResult r = run(dir, args);
      SCOPED_TRACE((mode.empty() ? "html" : mode[0]) + (demangle ? " -demang" : ""));
      EXPECT_EQ(r.status, 0) << r.err.substr(0, 500);
    }
  const std::string functions = dir.text("f.txt");
  EXPECT_NE(functions.find(itanium), std::string::npos);
  EXPECT_NE(functions.find(microsoft), std::string::npos);
  EXPECT_NE(dir.text("cg.txt").find(dpi_only), std::string::npos);
}

// Control characters, bytes that are not UTF-8 and XML's own characters in
// routine and file names: every XML list stays well-formed.
// POSIX only: its project name is not UTF-8, and a Windows command line
// carries UTF-16.
#ifndef _WIN32
TEST(Hardening, XmlListsAreWellFormedForAnyName) {
  e2e::TempDir dir;
  write_program(dir, {"ctl\x01\x1f\tx", "caf\xE9", "end]]>", "<&>\"'", "ok\xC3\xA9\xEF\xBF\xBE"}, "",
                "f\x02\xFF.c");
  e2e::RunResult r = run(dir, {"-xmlfcvrg", "f.xml", "-xmlbcvrg", "b.xml", "-prj", "p\x7f\x03\x80"});
  ASSERT_EQ(r.status, 0) << r.err;
  e2e::RunResult full = run(dir, {"-nohtml", "-xmlbcvrgfull", "full.xml"});
  ASSERT_EQ(full.status, 0) << full.err;
  for (const char* name : {"f.xml", "b.xml", "full.xml"}) EXPECT_EQ(e2e::xml_lint(dir.file(name)), "") << name;
  // '?' for what XML cannot hold; Windows-1252 bytes as UTF-8; references
  // for the rest. A U+00E9 that is UTF-8 already stays as it is.
  e2e::expect_outputs(dir.path(), "outputs.tsv", "xml names");
}
#endif

// This process keeps a write lock on bytes 0-15 of `path` for half a second
// (fcntl on POSIX, LockFileEx on Windows); a thread closes the file, which
// ends the lock.
struct LockHolder {
  explicit LockHolder(const std::string& path) {
#ifndef _WIN32
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_len = 16;
    held = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0;
    if (fd >= 0) release = std::thread([fd] { ::usleep(500 * 1000); ::close(fd); });
#else
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    OVERLAPPED at{};
    held = h != INVALID_HANDLE_VALUE && LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, 16, 0, &at);
    if (h != INVALID_HANDLE_VALUE) release = std::thread([h] { Sleep(500); CloseHandle(h); });
#endif
  }
  ~LockHolder() {
    if (release.joinable()) release.join();
  }
  bool held = false;
  std::thread release;
};

// The run says once that it waits for the locked dynamic profile, then
// completes.
TEST(Hardening, WaitForALockedProfileIsAnnounced) {
  e2e::TempDir dir;
  write_program(dir, {"g"});
  e2e::RunResult r;
  {
    LockHolder holder(dir.file("t.dpi"));
    ASSERT_TRUE(holder.held);
    r = run(dir, {"-txtfcvrg", "f.txt"});
  }
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string line = "vorelcov: waiting for t.dpi locked by another process\n";
  ASSERT_NE(r.err.find(line), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(line), r.err.rfind(line));
  EXPECT_NE(dir.text("f.txt").find("function - g\t"), std::string::npos);
}

}  // namespace
