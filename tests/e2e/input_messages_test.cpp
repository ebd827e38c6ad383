// Inputs that are there but unusable say what is wrong with them: a file
// that is no static profile, an unknown static-format version, an output
// that cannot be opened, a name the importer cannot store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/program_inputs.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

TEST(InputMessages, UnusableInputsSayWhatIsWrong) {
  TempDir dir;
  pw::Program p;
  p.modules = {module("m.c", {pw::routine("main", 1, 2, {{1, 1, 1}})})};
  write_inputs(dir, p, {{"m.c", "int main() {\n}\n"}});
  write_file(dir.file("g.gcov.json"), "{\"format_version\": \"1\"}\n");
  // Well-formed but for the version: read as version 8 they would pass.
  write_file(dir.file("v09.spi"), "V090000000c\n<H>\n</H>\n");
  write_file(dir.file("v99.spi"), "V990000000c\n<H>\n</H>\n");
  write_file(dir.file("vx.spi"), "Vx\n");
  const std::string not_spi = " is not a spi file: its first line is no version line (\"V\" and two digits).\n";
  struct Case {
    std::vector<std::string> args;  // after "-dpi t.dpi -srcroot src -nopmeter"
    std::string err;                // after the banner
  } cases[] = {
      {{"-spi", "missing.spi"}, "Couldn't find the spi file missing.spi!\n"},
      {{"-spi", "g.gcov.json"}, "ERROR: g.gcov.json" + not_spi},
      {{"-spi", "t.dpi"}, "ERROR: t.dpi" + not_spi},
#ifndef _WIN32
      {{"-spi", "/dev/null"},
       "ERROR: Couldn't read the spi file /dev/null: not a regular file (a character device).\n"},
      {{"-spi", "src"}, "ERROR: Couldn't read the spi file src: not a regular file (a directory).\n"},
#endif
      {{"-spi", "v09.spi"}, "vorelcov: error #11004: File 'v09.spi' is corrupt.\n"},
      {{"-spi", "v99.spi", "--lcov", "l.info"}, "vorelcov: error #11004: File 'v99.spi' is corrupt.\n"},
      {{"-spi", "vx.spi", "--lcov", "l.info"}, "vorelcov: error #11004: File 'vx.spi' is corrupt.\n"},
      {{"-spi", "t.spi", "-txtfcvrg", "no/f.txt"},
       "Couldn't open file no/f.txt for output!\nvorelcov: no/f.txt: No such file or directory\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    std::vector<std::string> args = {"-dpi", "t.dpi", "-srcroot", "src", "-nopmeter"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    RunResult r = run_vorelcov(args, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kScanDone + c.err);
  }

  // Option errors come before the banner.
  RunResult empty = run_vorelcov({"-spi", "t.spi", "-dpi", "t.dpi", "--lcov", ""}, dir.path());
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, "ERROR: option --lcov needs a file name, not an empty word.\n");

  // The importer names the input that holds the name, escaped.
  write_file(dir.file("n.gcov.json"),
             R"({"format_version": "1", "current_working_directory": "/x", "data_file": "t.gcda",
                 "files": [{"file": "a\nb\r\u0001.c", "functions": [], "lines": []}]})");
  RunResult imp = run_program(importer_path(), {"n.gcov.json"}, dir.path());
  EXPECT_EQ(imp.status, 1);
  EXPECT_EQ(imp.err, "vorelcov-import-gcov: n.gcov.json: source file \"a\\nb\\r\\x01.c\" holds a line "
                     "end or a zero byte, which profile files cannot store\n");
}

}  // namespace
}  // namespace e2e
