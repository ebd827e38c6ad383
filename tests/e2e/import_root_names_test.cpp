// Names relative to the project's root: a tree imported with --root (and a
// file outside it kept by --keep-external) is reported from another working
// directory; every output names the project's files relative to the root
// and the outside file by its absolute name, and the sources are read below
// the stored root, -srcroot, VOREL_PROF_SRC_ROOT or, when the stored root is
// gone, the working directory.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_expect.h"

namespace {

using e2e::RunResult;
using e2e::TempDir;

#ifndef _WIN32  // POSIX paths in the unit's data
// One unit: src/a.c (relative to the unit's directory) and ext/x.h outside
// the project, two functions with one line each.
std::string unit_json(const std::string& dir) {
  auto file = [](const std::string& name, const char* function) {
    return R"({"file": ")" + name + R"(", "functions": [{"name": ")" + function +
           R"(", "start_line": 1, "start_column": 1, "end_line": 1, "end_column": 30, "execution_count": 3}],
            "lines": [{"line_number": 1, "count": 3, "function_name": ")" + function + R"("}]})";
  };
  return R"({"format_version": "1", "current_working_directory": ")" + dir + R"(/proj", "data_file": "u.gcda",
            "files": [)" + file("src/a.c", "twice") + ", " + file(dir + "/ext/x.h", "ext") + "]}";
}

void put(const std::string& path, const std::string& content) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  e2e::write_file(path, content);
}

TEST(ImportRootNames, EveryOutputNamesFilesRelativeToTheRoot) {
  TempDir dir;
  for (const char* tree : {"proj", "copy"})  // the copy's source says which one was read
    put(dir.file(tree) + "/src/a.c", std::string("int twice(int x) { return x; } // ") + tree + "\n");
  put(dir.file("ext/x.h"), "int ext(void) { return 0; }\n");
  put(dir.file("proj/u.gcov.json"), unit_json(dir.path()));
  RunResult imp = e2e::run_program(e2e::importer_path(), {"--root", "proj/./", "--keep-external",
                                                          "proj/u.gcov.json"}, dir.path());
  ASSERT_EQ(imp.status, 0) << imp.err;
  std::filesystem::create_directories(dir.file("other"));

  const struct {
    const char* cwd;
    std::vector<std::string> args;
    e2e::EnvChanges env;
    const char* root;  // the tree the sources are read from
    bool original_gone;
  } cases[] = {
      {"other", {}, {}, "proj", false},                               // the stored root
      {"other", {"-srcroot", "../copy"}, {}, "copy", false},          // -srcroot wins over it
      {"other", {}, {{"VOREL_PROF_SRC_ROOT", dir.file("copy")}}, "copy", false},
      {"copy", {}, {}, "copy", true},                                 // stored root gone: the working directory
  };
  const std::vector<std::string> profiles = {"-spi", dir.file("zentra.spi"), "-dpi", dir.file("zentra.dpi"),
                                             "-nopmeter"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.root + std::string(c.original_gone ? " (original gone)" : ""));
    if (c.original_gone) std::filesystem::rename(dir.file("proj"), dir.file("gone"));
    const std::string cwd = dir.file(c.cwd), root = dir.file(c.root);
    for (std::vector<std::string> args : {std::vector<std::string>{"-txtlcov", "--lcov", "t.info", "--cobertura",
                                           "c.xml", "--json-summary", "j.json"}, {"-txtfcvrg", "f.txt"}, {"-showdirnames"}}) {
      args.insert(args.begin(), profiles.begin(), profiles.end());
      args.insert(args.end(), c.args.begin(), c.args.end());
      RunResult r = e2e::run_vorelcov(args, cwd, c.env);
      EXPECT_EQ(r.status, 0) << r.out << r.err;
    }
    e2e::expect_outputs(cwd, "outputs.tsv", "root names", {{"root", root}, {"dir", dir.path()}, {"tree", c.root}});
    std::filesystem::remove_all(cwd + "/CodeCoverage");
  }
}
#endif

}  // namespace
