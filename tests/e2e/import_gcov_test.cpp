// vorelcov-import-gcov end to end: gcov JSON in, profiles out, and vorelcov's
// line coverage of them; bad inputs end with a message naming the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

using e2e::RunResult;
using e2e::TempDir;

const char* const kSource =
    "template <class T> T twice(T x) { return x + x; }\n"  // 1: two instances, 6 + 2
    "int main(int argc, char**) {\n"                        // 2
    "  int s = twice(argc);\n"                              // 3
    "  double d = twice(1.5);\n"                            // 4
    "  if (argc > 5)\n"                                     // 5
    "    s = 0;\n"                                          // 6: never ran
    "  return s + (int)d;\n"                                // 7
    "}\n";                                                  // 8: not executable

std::string json(std::string dir) {
  for (size_t at = 0; (at = dir.find('\\', at)) != std::string::npos; at += 2) dir.insert(at, 1, '\\');
  return R"J({"format_version": "1", "current_working_directory": ")J" + dir + R"J(", "data_file": "t.cpp",
  "files": [{"file": "t.cpp", "functions": [
    {"name": "_Z5twiceIiET_S0_", "demangled_name": "int twice<int>(int)", "start_line": 1, "start_column": 22,
     "end_line": 1, "end_column": 49, "execution_count": 6},
    {"name": "_Z5twiceIdET_S0_", "start_line": 1, "start_column": 22, "end_line": 1, "end_column": 49,
     "execution_count": 2},
    {"name": "main", "start_line": 2, "start_column": 5, "end_line": 8, "end_column": 1, "execution_count": 2}],
  "lines": [{"line_number": 1, "count": 6, "function_name": "_Z5twiceIiET_S0_"},
    {"line_number": 1, "count": 2, "function_name": "_Z5twiceIdET_S0_"},
    {"line_number": 2, "count": 2, "function_name": "main"}, {"line_number": 3, "count": 2, "function_name": "main"},
    {"line_number": 4, "count": 2, "function_name": "main"}, {"line_number": 5, "count": 2, "function_name": "main"},
    {"line_number": 6, "count": 0, "function_name": "main"}, {"line_number": 7, "count": 2, "function_name": "main"}]}]})J";
}

TEST(ImportGcov, LineCountsOfTheReportAreGcovsLineCounts) {
  TempDir dir;
  e2e::write_file(dir.file("t.cpp"), kSource);
  e2e::write_file(dir.file("t.gcov.json"), json(dir.path()));
  RunResult imp = e2e::run_program(e2e::importer_path(), {"."}, dir.path());
  ASSERT_EQ(imp.status, 0) << imp.err;
  EXPECT_EQ(imp.out, "1 units, 1 source files, 3 routines, 7 lines -> zentra.spi, zentra.dpi\n");
  RunResult r = e2e::run_vorelcov({"-txtlcov", "-nopmeter"}, dir.path(), e2e::kHostsOwnRules);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lcov = e2e::list_dir(dir.file("CodeCoverage"));
  ASSERT_EQ(lcov.size(), 1u);
  // gcov: line 1 is 6 + 2 = 8, line 6 never ran, line 8 is not executable;
  // the file is named relative to the project's root.
  std::string expected = "               -: " + e2e::host_name("t.cpp") + "\n" +
            "               8:      1:template <class T> T twice(T x) { return x + x; }\n"
            "               2:      2:int main(int argc, char**) {\n"
            "               2:      3:  int s = twice(argc);\n"
            "               2:      4:  double d = twice(1.5);\n"
            "               2:      5:  if (argc > 5)\n"
            "           #####:      6:    s = 0;\n"
            "               2:      7:  return s + (int)d;\n"
            "               -:      8:}\n";
  EXPECT_EQ(dir.text("CodeCoverage/" + lcov[0]), expected);
  // The totals count line 1 once (7 executable lines, 6 ran), and both
  // instances ran: 3 of 3 functions.
  const std::string table = dir.text("CODE_COVERAGE.TXT");
  EXPECT_NE(table.find("Functions:   total     cvrd   uncvrd   cvrg%\n             -----     ----   ------  ------\n"
                       "                 3        3        0  100.00\n"), std::string::npos) << table;
  EXPECT_NE(table.find("Lines:       total     cvrd   uncvrd   cvrg%\n             -----     ----   ------  ------\n"
                       "                 7        6        1   85.71\n"), std::string::npos) << table;
  // -demang shows the instances' signatures (POSIX rules: the Windows rules
  // drop the leading '_' of these Itanium names).
  RunResult f = e2e::run_vorelcov({"-txtfcvrg", "f.txt", "-demang", "-nopmeter"}, dir.path());
  ASSERT_EQ(f.status, 0) << f.err;
  EXPECT_NE(dir.text("f.txt").find("int twice<int>(int)"), std::string::npos) << dir.text("f.txt");
}

TEST(ImportGcov, BadInputEndsWithStatusOneAndAMessageNamingTheFile) {
  const struct {
    std::string content;
    const char* message;
  } cases[] = {  // every reason the reader gives is in the unit tests
      {"{\"format_version\": \"9\", \"files\": []}", "bad.gcov.json: gcov JSON format_version \"9\" is not known"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    e2e::write_file(dir.file("bad.gcov.json"), c.content);
    RunResult r = e2e::run_program(e2e::importer_path(), {"bad.gcov.json"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("vorelcov-import-gcov: " + std::string(c.message), 0), 0u) << r.err;
    EXPECT_FALSE(e2e::file_exists(dir.file("zentra.spi")));
  }
  TempDir dir;
  RunResult none = e2e::run_program(e2e::importer_path(), {"."}, dir.path());
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no *.gcov.json.gz or *.gcov.json files"), std::string::npos);
  RunResult missing = e2e::run_program(e2e::importer_path(), {"nope.gcov.json.gz"}, dir.path());
  EXPECT_EQ(missing.err, "vorelcov-import-gcov: nope.gcov.json.gz: cannot read: No such file or directory\n");
  EXPECT_EQ(e2e::run_program(e2e::importer_path(), {"--help"}, dir.path()).status, 0);
  EXPECT_EQ(e2e::run_program(e2e::importer_path(), {"--bogus", "x"}, dir.path()).status, 1);
}

}  // namespace
