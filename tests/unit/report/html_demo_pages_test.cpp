// The pages of a small hand-checked program, written from a coverage model
// built by hand with the figures that the per-file computation gives for it,
// compared byte for byte with the expected pages of the end-to-end test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "../../e2e/link_check.h"
#include "coverage/model.h"
#include "coverage/position_state.h"
#include "driver/settings.h"
#include "e2e/harness.h"
#include "report/html_report.h"

namespace vorel {
namespace {

namespace fs = std::filesystem;

// The hand-checked pages (the root page in the working directory, the rest
// in CodeCoverage/).
const char* const kDemoPages[] = {
    "CODE_COVERAGE.HTML",          "__CODE_COVERAGE.HTML",       "__COVERED_FILES_COVERAGE_4.HTML",
    "__UNCOVERED_FILES_COVERAGE_4.HTML", "SRC_DEMO_C.HTML",      "SRC_DEMO_C_CVRDFNCS_4.HTML",
    "SRC_DEMO_C_SRC.HTML",         "SRC_UTIL_C_UNCVRDFNCS_4.HTML"};

std::string expected_page(const std::string& name) {
  return e2e::read_file(e2e::source_dir() + "/tests/e2e/expected/html_demo/" + name).value_or("");
}

class DemoPages : public testing::Test {
 protected:
  void SetUp() override {
    old_cwd_ = fs::current_path();
    fs::current_path(dir_.path());
    fs::create_directory("CodeCoverage");
    fs::create_directory("src");
    for (const char* f : {"demo.c", "util.c"})
      fs::copy_file(e2e::source_dir() + "/tests/e2e/data/html_demo/" + f,
                    dir_.file(std::string("src/") + f));
    settings_.project_name = "demo";
    settings_.show_counts = true;
  }
  void TearDown() override { fs::current_path(old_cwd_); }

  void add(uint32_t line, uint32_t col, uint64_t count) {
    model_.files.bAddBlockCount(line, col, count, false, nullptr);
  }
  void start_file(const std::string& name, size_t routines) {
    const std::string path = "src/" + name;  // relative to the source root "src"
    model_.files.bAddFilename(path, path);
    ASSERT_TRUE(model_.files.bSetName(path, path));
    model_.functions.open(routines);
  }
  void routine(const char* name, uint32_t line, uint32_t blocks, uint32_t covered) {
    model_.functions.add({.readable_name = name, .proc_name = name, .start_line = line,
                          .blocks = blocks, .covered_blocks = covered},
                         false);
  }
  void finish_file(uint32_t fns, uint32_t cfns, uint32_t blocks, uint32_t cblocks) {
    FileEntry& e = *model_.files.current_entry();
    e.functions = fns;
    e.covered_functions = cfns;
    e.blocks = blocks;
    e.covered_blocks = cblocks;
    e.function_percent = percent_of(cfns, fns);
    e.block_percent = percent_of(cblocks, blocks);
    e.flags |= cfns > 0 ? kFileCovered : kFileUncovered;
    RunTotals& t = model_.totals;
    ++t.files;
    t.covered_files += cfns > 0;
    t.functions += fns;
    t.covered_functions += cfns;
    t.blocks += blocks;
    t.covered_blocks += cblocks;
    ASSERT_TRUE(html_write_source_view(settings_, model_));
    model_.reset_file();
  }

  // demo.c: sq and main ran, never did not; util.c: unused did not run.
  void write_demo_report() {
    ASSERT_TRUE(html_write_report_frame(settings_, model_));
    start_file("demo.c", 3);
    add(4, 3, 1000);
    model_.files.bMarkLastBlock(6);
    add(7, 1, kNeverExecuted);
    model_.files.bMarkLastBlock(11);
    for (auto [l, c, n] : {std::tuple<uint32_t, uint32_t, uint64_t>{13, 3, 1}, {14, 3, 1},
                           {14, 19, 1001}, {14, 29, 1000}, {14, 34, 1000}, {15, 3, 1},
                           {15, 14, 0}, {16, 3, 1}, {16, 10, 1}, {16, 10, 0}})
      add(l, c, n);
    model_.files.bMarkLastBlock(18);
    routine("main", 12, 10, 8);
    routine("never", 7, 2, 0);
    routine("sq", 3, 1, 1);
    finish_file(3, 2, 13, 9);

    start_file("util.c", 1);
    add(1, 1, kNeverExecuted);
    model_.files.bMarkLastBlock(5);
    routine("unused", 1, 1, 0);
    finish_file(1, 0, 1, 0);

    ASSERT_TRUE(html_write_file_lists(settings_, model_, "__Covered_Files_Coverage", kFileCovered));
    ASSERT_TRUE(html_write_file_lists(settings_, model_, "__Uncovered_Files_Coverage", kFileUncovered));
    ASSERT_TRUE(html_write_summary_and_root(settings_, model_, "Code_Coverage", "__Code_Coverage",
                                            "__Covered_Files_Coverage", "__Uncovered_Files_Coverage"));
  }

  e2e::TempDir dir_;
  fs::path old_cwd_;
  Settings settings_;
  CoverageModel model_;
};

TEST_F(DemoPages, PagesMatchTheHandCheckedExpectations) {
  write_demo_report();
  for (const char* name : kDemoPages) {
    SCOPED_TRACE(name);
    const std::string actual = std::string(name) == "CODE_COVERAGE.HTML"
                                   ? name
                                   : std::string("CodeCoverage/") + name;
    std::optional<std::string> got = e2e::read_file(dir_.file(actual));
    ASSERT_TRUE(got);
    EXPECT_EQ(*got, expected_page(name));
  }
}

TEST_F(DemoPages, EveryLinkResolves) {
  write_demo_report();
  int checked = 0;
  EXPECT_EQ(link_check::broken_links(dir_.path(), checked), std::vector<std::string>{});
  EXPECT_GT(checked, 100);
}

TEST_F(DemoPages, ListsExistInEveryOrder) {
  write_demo_report();
  for (int n : {0, 1, 2, 4, 5, 6})
    EXPECT_TRUE(e2e::file_exists(
        dir_.file("CodeCoverage/__COVERED_FILES_COVERAGE_" + std::to_string(n) + ".HTML")));
  for (int n : {0, 1, 5, 6})
    EXPECT_FALSE(e2e::file_exists(
        dir_.file("CodeCoverage/__UNCOVERED_FILES_COVERAGE_" + std::to_string(n) + ".HTML")));
  const std::string pre = "CodeCoverage/SRC_";
  auto exists = [&](const std::string& list, int n) {
    return e2e::file_exists(dir_.file(pre + list + "_" + std::to_string(n) + ".HTML"));
  };
  for (int n : {0, 1, 2, 4, 5, 6}) {
    EXPECT_EQ(exists("DEMO_C_CVRDFNCS", n), n == 1 || n == 2 || n == 4 || n == 5) << n;
    EXPECT_EQ(exists("DEMO_C_UNCVRDFNCS", n), n != 1 && n != 5) << n;
    EXPECT_EQ(exists("UTIL_C_CVRDFNCS", n), false) << n;
  }
}

}  // namespace
}  // namespace vorel
