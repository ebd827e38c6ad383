// vorelcov-import-gcov on a build tree: gcov run by the importer itself on
// examples/gcov_tree (three programs with a main.c each, sharing
// src/shape.c; tool never ran; LCOV_EXCL_* and GCOVR_EXCL_* markers), and
// its bad inputs. The expected figures are lcov's capture of the same tree
// (lcov -c merged with lcov -c -i; GCOVR_ markers spelt LCOV_ for lcov).
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_expect.h"

namespace {

using e2e::RunResult;
using e2e::TempDir;

// Writes `content` to `dir`/`name`, making the directories on the way.
void put(const TempDir& dir, const std::string& name, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(dir.file(name)).parent_path());
  e2e::write_file(dir.file(name), content);
}

#ifndef _WIN32
// Every file below `dir` with its size, one per line.
std::string listing(const std::string& dir) {
  std::string out;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    out.append(entry.path().string()).append(" ").append(entry.is_regular_file() ? std::to_string(entry.file_size()) : "/").append("\n");
  return out;
}

// The tree compiled as CMake would lay it out, app run twice, probe once.
void build_tree(const TempDir& dir, const std::string& gcc) {
  std::filesystem::copy(e2e::source_dir() + "/examples/gcov_tree", dir.path(),
                        std::filesystem::copy_options::recursive);
  for (const char* name : {"app", "probe", "tool"}) {
    const std::string program = name;
    std::vector<std::string> objects;
    for (const std::string& source : {program + "/main.c", std::string("src/shape.c")}) {
      objects.push_back("build/CMakeFiles/" + program + ".dir/" + source + ".o");
      std::filesystem::create_directories(std::filesystem::path(dir.file(objects.back())).parent_path());
      RunResult cc = e2e::run_program(gcc, {"--coverage", "-O0", "-Isrc", "-c", source, "-o", objects.back()},
                                      dir.path());
      ASSERT_EQ(cc.status, 0) << cc.err;
    }
    objects.insert(objects.begin(), {"--coverage", "-o", "build/" + program});
    ASSERT_EQ(e2e::run_program(gcc, objects, dir.path()).status, 0);
  }
  // CMake's compiler probe, compiled with the project's flags: no unit of it.
  put(dir, "build/CMakeFiles/3.25.1/CompilerIdC/a-CMakeCCompilerId.gcno", "junk\n");
  ASSERT_EQ(e2e::run_program(dir.file("build/app"), {}, dir.path()).status, 0);
  ASSERT_EQ(e2e::run_program(dir.file("build/app"), {"x", "y"}, dir.path()).status, 0);
  ASSERT_EQ(e2e::run_program(dir.file("build/probe"), {}, dir.path()).status, 0);
}

// vorelcov's tracefile of the imported profiles, normalised.
std::string tracefile(const TempDir& dir, const std::vector<std::string>& import_args) {
  RunResult imp = e2e::run_program(e2e::importer_path(), import_args, dir.path());
  EXPECT_EQ(imp.status, 0) << imp.err;
  RunResult r = e2e::run_vorelcov({"-txtlcov", "-nopmeter", "--lcov", "t.info"}, dir.path());
  EXPECT_EQ(r.status, 0) << r.err;
  return e2e::run_program("/bin/sh", {e2e::source_dir() + "/scripts/normalise-tracefile.sh", "t.info",
                                      dir.path() + "/"}, dir.path()).out;
}


TEST(ImportBuildTree, OneCommandGivesLcovsFigures) {
  const std::string gcc = e2e::on_path("gcc");
  if (gcc.empty() || e2e::on_path("gcov").empty()) GTEST_SKIP() << "needs gcc and gcov";
  TempDir dir;
  build_tree(dir, gcc);
  const std::string before = listing(dir.file("build"));
  RunResult imp = e2e::run_program(e2e::importer_path(), {"--jobs", "3", "build"}, dir.path());
  ASSERT_EQ(imp.status, 0) << imp.err;
  EXPECT_EQ(imp.err, "");
  EXPECT_EQ(imp.out, e2e::expected_file("gcov_tree/summary.txt"));
  EXPECT_EQ(listing(dir.file("build")), before);  // nothing written into the build tree
  const std::string expected = e2e::expected_file("gcov_tree/tracefile.txt");
  EXPECT_EQ(tracefile(dir, {"build"}), expected);
  // One job gives the same; a single .gcda file is its own unit.
  EXPECT_EQ(tracefile(dir, {"--jobs", "1", "build"}), expected);
  EXPECT_EQ(e2e::lines_with(tracefile(dir, {"build/CMakeFiles/probe.dir/probe/main.c.gcda"}), "SF:"), "SF:probe/main.c\n");
  // --no-unexecuted leaves tool's units out; --no-markers brings the excluded lines back.
  std::string ran = tracefile(dir, {"--no-unexecuted", "build"});
  EXPECT_EQ(e2e::lines_with(ran, "SF:"), "SF:app/main.c\nSF:probe/main.c\nSF:src/shape.c\nSF:src/shape.h\n");
  EXPECT_EQ(e2e::lines_with(ran, "LF:"), "LF:5\nLF:3\nLF:12\nLF:2\n");
  std::string all = tracefile(dir, {"--no-markers", "build"});
  EXPECT_EQ(e2e::lines_with(all, "LF:"), "LF:5\nLF:3\nLF:21\nLF:2\nLF:5\n");
  EXPECT_EQ(e2e::lines_with(all, "FNF:"), "FNF:1\nFNF:1\nFNF:5\nFNF:1\nFNF:1\n");
  // --include and --exclude match the root-relative path; a root that holds
  // none of the sources is an error.
  EXPECT_EQ(e2e::lines_with(tracefile(dir, {"--include", "main", "--exclude", "^(app|tool)/", "build"}), "SF:"),
            "SF:probe/main.c\n");
  put(dir, "empty/.keep", "");
  imp = e2e::run_program(e2e::importer_path(), {"--root", "empty", "build"}, dir.path());
  EXPECT_EQ(imp.status, 1);
  EXPECT_EQ(imp.err, "vorelcov-import-gcov: no source file of the data is kept (5 outside the root " +
                         dir.file("empty/") + ", 0 left out by --include/--exclude); --root names the project's "
                         "root, --keep-external keeps the files outside it\n");
  // A source that cannot be read is a warning: its markers are not applied.
  std::remove(dir.file("tool/main.c").c_str());
  imp = e2e::run_program(e2e::importer_path(), {"build"}, dir.path());
  EXPECT_EQ(imp.status, 0);
  EXPECT_EQ(imp.err, "vorelcov-import-gcov: warning: " + dir.file("tool/main.c") +
                         ": cannot read the source (No such file or directory); its exclusion markers are not applied\n");
}
#endif  // POSIX: compiles with gcc --coverage and runs gcov

// Rows: files made with junk in them, the arguments (split at '|'), a part
// of standard error, and "posix" when the row runs gcov or the system's
// reason differs on Windows.
TEST(ImportBuildTree, BadInputEndsWithStatusOneAndSaysWhy) {
  for (const auto& row : e2e::expected_rows("import_bad_input.tsv")) {
#ifdef _WIN32
    if (row.at(3) == "posix") continue;
#endif
    TempDir dir;
    for (const std::string& f : e2e::words(row.at(0))) put(dir, f, "junk\n");
    std::vector<std::string> args(1);
    for (char c : row.at(1))
      if (c == '|') args.emplace_back();
      else args.back().push_back(c);
    RunResult r = e2e::run_program(e2e::importer_path(), args, dir.path());
    EXPECT_EQ(r.status, 1) << row[2];
    EXPECT_NE(r.err.find(e2e::filled(row[2], {{"dir", dir.path()}})), std::string::npos) << r.err;
    EXPECT_FALSE(e2e::file_exists(dir.file("zentra.spi")));
  }
}

}  // namespace
