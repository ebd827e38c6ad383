// Hostile inputs the binary must survive with a normal exit and well-formed
// outputs: names too deep for the undecorator, names XML cannot hold as
// they are, and a profile file another process keeps locked.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "e2e/harness.h"
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
      EXPECT_FALSE(r.signaled);
      EXPECT_EQ(r.status, 0) << r.err.substr(0, 500);
    }
  const std::string functions = dir.read("f.txt");
  EXPECT_NE(functions.find(itanium), std::string::npos);
  EXPECT_NE(functions.find(microsoft), std::string::npos);
  EXPECT_NE(dir.read("cg.txt").find(dpi_only), std::string::npos);
}

// Control characters, bytes that are not UTF-8 and XML's own characters in
// routine and file names: every XML list stays well-formed.
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
  const std::string f = dir.read("f.xml");
  for (const char* part : {"<PROJECT name = \"p\x7f?\xE2\x82\xAC\">", "<MODULE name = \"f?\xC3\xBF.c\">",
                           "name=\"ctl??&#9;x\"", "name=\"caf\xC3\xA9\"", "name=\"end]]&gt;\"",
                           "name=\"&lt;&amp;&gt;&quot;&apos;\"", "name=\"ok\xC3\xA9?\""})
    EXPECT_NE(f.find(part), std::string::npos) << part;
}

// A child holds a write lock on the dynamic profile for a while: the run
// says once that it waits, then completes.
TEST(Hardening, WaitForALockedProfileIsAnnounced) {
  e2e::TempDir dir;
  write_program(dir, {"g"});
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int fd = ::open(dir.file("t.dpi").c_str(), O_RDWR);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_len = 16;
    if (fd < 0 || ::fcntl(fd, F_SETLK, &lock) != 0 || ::write(ready[1], "L", 1) != 1) _exit(2);
    ::usleep(500 * 1000);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  e2e::RunResult r = run(dir, {"-txtfcvrg", "f.txt"});
  int status = 0;
  ::waitpid(pid, &status, 0);
  for (int fd : ready) ::close(fd);
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string line = "vorelcov: waiting for t.dpi locked by another process\n";
  ASSERT_NE(r.err.find(line), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(line), r.err.rfind(line));
  EXPECT_NE(dir.read("f.txt").find("function - g\t"), std::string::npos);
}

}  // namespace
