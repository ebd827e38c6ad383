// vorelcov-import-gcov on a build tree: gcov run by the importer itself on
// examples/gcov_tree (three programs with a main.c each, sharing
// src/shape.c; tool never ran; LCOV_EXCL_* and GCOVR_EXCL_* markers), and
// its bad inputs. The expected figures are lcov's capture of the same tree
// (lcov -c merged with lcov -c -i; GCOVR_ markers spelt LCOV_ for lcov).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

using e2e::RunResult;
using e2e::TempDir;

// Writes `content` to `dir`/`name`, making the directories on the way.
void put(const TempDir& dir, const std::string& name, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(dir.file(name)).parent_path());
  e2e::write_file(dir.file(name), content);
}

#ifndef _WIN32
// A program on PATH, or "" when there is none.
std::string on_path(const std::string& name) {
  std::string found = e2e::run_program("/bin/sh", {"-c", "command -v " + name}, "/").out;
  return found.empty() ? found : found.substr(0, found.size() - 1);
}

// Every file below `dir` with its size, one per line.
std::string listing(const std::string& dir) {
  std::string out;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    out += entry.path().string() + (entry.is_regular_file() ? " " + std::to_string(entry.file_size()) : "/") + "\n";
  return out;
}

// The tree compiled as CMake would lay it out, app run twice, probe once.
void build_tree(const TempDir& dir, const std::string& gcc) {
  const std::string data = e2e::source_dir() + "/examples/gcov_tree/";
  for (const char* f : {"src/shape.c", "src/shape.h", "app/main.c", "probe/main.c", "tool/main.c"})
    put(dir, f, *e2e::read_file(data + f));
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

// The lines of `text` that start with `prefix`.
std::string lines_of(const std::string& text, const std::string& prefix) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (text.compare(at, prefix.size(), prefix) == 0) out += text.substr(at, end - at + 1);
    at = end + 1;
  }
  return out;
}
#endif

TEST(ImportBuildTree, OneCommandGivesLcovsFigures) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: compiles with gcc --coverage and runs gcov";
#else
  const std::string gcc = on_path("gcc");
  if (gcc.empty() || on_path("gcov").empty()) GTEST_SKIP() << "needs gcc and gcov";
  TempDir dir;
  build_tree(dir, gcc);
  const std::string before = listing(dir.file("build"));
  RunResult imp = e2e::run_program(e2e::importer_path(), {"--jobs", "3", "build"}, dir.path());
  ASSERT_EQ(imp.status, 0) << imp.err;
  EXPECT_EQ(imp.err, "");
  EXPECT_EQ(imp.out,
            "6 units, 5 source files, 7 routines, 26 lines -> zentra.spi, zentra.dpi\n"
            "2 units never ran: included with zero counts\n"
            "exclusion markers applied in 2 source files\n");
  EXPECT_EQ(listing(dir.file("build")), before);  // nothing written into the build tree
  const std::string expected = *e2e::read_file(e2e::source_dir() + "/tests/e2e/expected/gcov_tree/tracefile.txt");
  EXPECT_EQ(tracefile(dir, {"build"}), expected);
  // One job gives the same; a single .gcda file is its own unit.
  EXPECT_EQ(tracefile(dir, {"--jobs", "1", "build"}), expected);
  EXPECT_EQ(lines_of(tracefile(dir, {"build/CMakeFiles/probe.dir/probe/main.c.gcda"}), "SF:"), "SF:probe/main.c\n");
  // --no-unexecuted leaves tool's units out; --no-markers brings the excluded lines back.
  std::string ran = tracefile(dir, {"--no-unexecuted", "build"});
  EXPECT_EQ(lines_of(ran, "SF:"), "SF:app/main.c\nSF:probe/main.c\nSF:src/shape.c\nSF:src/shape.h\n");
  EXPECT_EQ(lines_of(ran, "LF:"), "LF:5\nLF:3\nLF:12\nLF:2\n");
  std::string all = tracefile(dir, {"--no-markers", "build"});
  EXPECT_EQ(lines_of(all, "LF:"), "LF:5\nLF:3\nLF:21\nLF:2\nLF:5\n");
  EXPECT_EQ(lines_of(all, "FNF:"), "FNF:1\nFNF:1\nFNF:5\nFNF:1\nFNF:1\n");
  // --include and --exclude match the root-relative path; a root that holds
  // none of the sources is an error.
  EXPECT_EQ(lines_of(tracefile(dir, {"--include", "main", "--exclude", "^(app|tool)/", "build"}), "SF:"),
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
#endif
}

TEST(ImportBuildTree, BadInputEndsWithStatusOneAndSaysWhy) {
  const struct {
    std::vector<std::string> files;  // created with junk in them
    std::vector<std::string> args;
    const char* message;             // standard error holds this (DIR: the directory)
    bool posix_only;                 // runs gcov, or the system's reason differs on Windows
  } cases[] = {
      {{"t/a.o", "t/sub/b.txt"}, {"t"},
       "t: nothing to import below this directory: no .gcno files (a build with `gcc --coverage` writes one "
       "beside each object file), no .gcda files (running the program built so writes them) and no "
       "*.gcov.json.gz or *.gcov.json files (`gcov --json-format` writes them)\n", false},
      {{"t/x.gcno"}, {"--no-unexecuted", "t"},
       "t: no .gcda files below this directory (running the program built with `gcc --coverage` writes them); "
       "1 units that never ran are left out by --no-unexecuted\n", false},
      {{"t/x.gcda", "t/x.gcno"}, {"--gcov-executable", "no-such-gcov --flag", "t"},
       "cannot run no-such-gcov --flag: No such file or directory (reading a build tree needs gcov, which comes "
       "with gcc; --gcov-executable names another)\n", true},
      {{"t/x.gcda", "t/x.gcno"}, {"t"}, "/t: gcov failed (exit status 2): DIR/t/x.gcno:not a gcov notes file ", true},
      {{}, {"t/none.gcda"}, "t/none.gcda: cannot read: No such file or directory\n", false},
      {{}, {"--jobs", "0", "t"}, "--jobs needs a number from 1 to 256, not '0'\n", false},
  };
  for (const auto& c : cases) {
#ifdef _WIN32
    if (c.posix_only) continue;
#endif
    TempDir dir;
    for (const std::string& f : c.files) put(dir, f, "junk\n");
    RunResult r = e2e::run_program(e2e::importer_path(), c.args, dir.path());
    EXPECT_EQ(r.status, 1) << c.message;
    std::string message = c.message;
    for (size_t at; (at = message.find("DIR")) != std::string::npos;) message.replace(at, 3, dir.path());
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_FALSE(e2e::file_exists(dir.file("zentra.spi")));
  }
}

}  // namespace
