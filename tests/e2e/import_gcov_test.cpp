// vorelcov-import-gcov end to end: gcov JSON in, profiles out, and vorelcov's
// line coverage of them; bad inputs end with a message naming the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/harness.h"

namespace {

using e2e::RunResult;
using e2e::TempDir;

// tests/e2e/data/import_gcov: t.cpp, whose template twice() has two
// instances (6 and 2 calls) on line 1; line 6 never ran, line 8 is not
// executable. t.gcov.json is gcov's view of it, run in directory @DIR@.
void write_inputs(const TempDir& dir) {
  const std::string data = e2e::source_dir() + "/tests/e2e/data/import_gcov/";
  std::string cwd = dir.path(), json = *e2e::read_file(data + "t.gcov.json");
  for (size_t at = 0; (at = cwd.find('\\', at)) != std::string::npos; at += 2) cwd.insert(at, 1, '\\');
  json.replace(json.find("@DIR@"), 5, cwd);
  e2e::write_file(dir.file("t.cpp"), *e2e::read_file(data + "t.cpp"));
  e2e::write_file(dir.file("t.gcov.json"), json);
}

TEST(ImportGcov, LineCountsOfTheReportAreGcovsLineCounts) {
  TempDir dir;
  write_inputs(dir);
  RunResult imp = e2e::run_program(e2e::importer_path(), {"."}, dir.path());
  ASSERT_EQ(imp.status, 0) << imp.err;
  EXPECT_EQ(imp.out, "1 units, 1 source files, 3 routines, 7 lines -> zentra.spi, zentra.dpi\n");
  RunResult r = e2e::run_vorelcov({"-txtlcov", "-nopmeter"}, dir.path(), e2e::kHostsOwnRules);
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lcov = e2e::list_dir(dir.file("CodeCoverage"));
  ASSERT_EQ(lcov.size(), 1u);
  // gcov: line 1 is 6 + 2 = 8, line 6 never ran, line 8 is not executable;
  // the file is named relative to the project's root.
  EXPECT_EQ(dir.text("CodeCoverage/" + lcov[0]), e2e::host_names(e2e::expected_file("import_gcov.lcov"), {"t.cpp"}));
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
  TempDir dir;  // every reason the reader gives is in the unit tests
  e2e::write_file(dir.file("bad.gcov.json"), "{\"format_version\": \"9\", \"files\": []}");
  RunResult r = e2e::run_program(e2e::importer_path(), {"bad.gcov.json"}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("vorelcov-import-gcov: bad.gcov.json: gcov JSON format_version \"9\" is not known", 0), 0u)
      << r.err;
  EXPECT_FALSE(e2e::file_exists(dir.file("zentra.spi")));
  std::filesystem::remove(dir.file("bad.gcov.json"));
  RunResult none = e2e::run_program(e2e::importer_path(), {"."}, dir.path());
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("no *.gcov.json.gz or *.gcov.json files"), std::string::npos);
  RunResult missing = e2e::run_program(e2e::importer_path(), {"nope.gcov.json.gz"}, dir.path());
  EXPECT_EQ(missing.err, "vorelcov-import-gcov: nope.gcov.json.gz: cannot read: No such file or directory\n");
  EXPECT_EQ(e2e::run_program(e2e::importer_path(), {"--help"}, dir.path()).status, 0);
  EXPECT_EQ(e2e::run_program(e2e::importer_path(), {"--bogus", "x"}, dir.path()).status, 1);
}

}  // namespace
