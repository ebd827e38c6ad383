// The lcov tracefile keeps a path's bytes (only a line end could break its
// line), encodes the commas lcov's readers split function names at, and
// leaves out a line-map line beyond the source's end, as every other line
// figure does.
#include <gtest/gtest.h>

#include <string>

#include "e2e/program_inputs.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

TEST(LcovNames, PathsKeepTheirBytesNamesEncodeCommasLinesStayInTheSource) {
#ifdef _WIN32
  GTEST_SKIP() << "a tab cannot stand in a Windows file name";
#endif
  TempDir dir;
  const std::string source = "tab\there.c";  // functions come in name order
  pw::Program p;
  p.modules = {module(source, {pw::routine("f(int, int)", 1, 1, {{1, 1, 1, {1}}, {1, 2, 1, {9}}}),
                               pw::routine("100%", 2, 2, {{2, 1, 0, {2}}})})};
  write_inputs(dir, p, {{source, "one\ntwo\n"}});
  RunResult r = run_inputs(dir, {"-txtfcvrg", "f.txt", "--lcov", "t.info", "--summary"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("lines: 50.00% (1 of 2)"), std::string::npos) << r.out;
  std::string info = dir.read("t.info");
  const size_t sf = info.find("SF:"), src = info.find("/src/");
  ASSERT_TRUE(sf != std::string::npos && src != std::string::npos);
  info.erase(sf + 3, src - sf - 3);  // the working directory
  EXPECT_EQ(info,
            "TN:\nSF:/src/tab\there.c\n"
            "FN:2,100%25\nFN:1,f(int%2C int)\nFNDA:0,100%25\nFNDA:1,f(int%2C int)\nFNF:2\nFNH:1\n"
            "DA:1,1\nDA:2,0\nLF:2\nLH:1\nend_of_record\n");
}

}  // namespace
}  // namespace e2e
