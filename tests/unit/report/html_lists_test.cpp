// File and function list pages: what the hand-checked pages of
// tests/e2e/html_report_test.cpp do not show.
#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/coverage_list.h"
#include "coverage/function_table.h"
#include "html_page_fixture.h"
#include "report/html_file_list.h"
#include "report/html_function_list.h"

namespace vorel {
namespace {

using test_support::capture;

class ListsTest : public PageTest {
 protected:
  // Writes a list of the one function `f` of /s/a.c in order 1.
  bool write_function(bool covered, FunctionInfo f) {
    f.block_percent = percent_of(f.covered_blocks, f.blocks);
    function_ = f;
    return write_function_list(ctx(), covered, 1, "a.c", "/s/a.c", {&function_});
  }
  bool has(const std::string& name, const std::string& text) {
    return page("CodeCoverage/" + name).find(text) != std::string::npos;
  }
  FunctionInfo function_;
};

// With -ref the uncovered lists have miss labels and show miss rates.
TEST_F(ListsTest, DifferentialListsShowMissRates) {
  options_.differential = true;
  FileEntry e;
  e.name = e.report_name = "/s/a.c";
  e.functions = 2;
  e.covered_functions = 1;
  e.function_percent = 50;
  const FileEntry* entries[] = {&e};
  ASSERT_TRUE(write_file_lists(ctx(), false, "__Uncovered_Files_Coverage", entries));
  EXPECT_TRUE(has("__UNCOVERED_FILES_COVERAGE_4.HTML",
                  "<TH ALIGN=\"center\">missed</TH>\n<TH ALIGN=\"center\"><a target=\"_self\" "
                  "title=\"sort based on miss rate%\" href=\"__UNCOVERED_FILES_COVERAGE_5.HTML\">"
                  "miss%</a></TH>\n"));
  EXPECT_TRUE(has("__UNCOVERED_FILES_COVERAGE_4.HTML", "<TD ALIGN=\"right\"> 50.00</TD>\n"));
  ASSERT_TRUE(write_function(false, {.readable_name = "f", .proc_name = "f", .start_line = 10,
                                     .blocks = 4, .covered_blocks = 1}));
  EXPECT_TRUE(has("_S_A_C_UNCVRDFNCS_4.HTML",
                  "<TH ALIGN=\"left\" COLSPAN=\"2\"><a target=\"_self\" title=\"sort based on miss "
                  "rate\" href=\"_S_A_C_UNCVRDFNCS_5.HTML\">miss rate</a></TH>\n"));
  EXPECT_TRUE(has("_S_A_C_UNCVRDFNCS_4.HTML",
                  "<td align=\"right\"> 25.00</td><td align=\"center\">(1/4)</td>\n"));
}

// Windows names drop one leading '_' and an "@digits" ending; the Tests
// link percent-encodes host-given parts.
TEST_F(ListsTest, WindowsNamesAndTestLinks) {
  options_.host = windows_rules();
  options_.host.separator = '/';  // the files of this test live on a POSIX disk
  options_.qst_links = 1;
  options_.qst_host = "HtTp://db.example:8080";
  options_.qst_db_name = "my db";
  options_.qst_db_project = "p&q";
  ASSERT_TRUE(write_function(true, {.readable_name = "_f@8", .proc_name = "_f@8", .start_line = 7,
                                    .blocks = 1, .covered_blocks = 1}));
  EXPECT_TRUE(has("_S_A_C_CVRDFNCS_4.HTML",
                  "title=\"Line 7\">f</a></td>\n<td align=\"center\"><a target=\"_new\" "
                  "href=\"HtTp://db.example:8080/function_tests_viewer.php?function_name=_f%408"
                  "&dbName=my%20db&project_name=p%26q\" title=\"all cover tests\">Tests</a></td></tr>\n"));
}

TEST_F(ListsTest, Failures) {
  const std::vector<const FileEntry*> none;
  block("CodeCoverage/__COVERED_FILES_COVERAGE_4.HTML");
  block("CodeCoverage/_S_A_C_CVRDFNCS_4.HTML");
  auto files = capture([&] { EXPECT_FALSE(write_file_list(ctx(), true, 1, "__Covered_Files_Coverage", none)); });
  auto fns = capture([&] { EXPECT_FALSE(write_function_list(ctx(), true, 1, "a.c", "/s/a.c", {})); });
  EXPECT_EQ(files.err + fns.err, "Unable to create root html file __Covered_Files_Coverage!\n"
                                 "Cannot open CodeCoverage/_S_A_C_CVRDFNCS_4.HTML for output!\n");
  options_.no_html = true;  // -nohtml writes no function list
  EXPECT_TRUE(write_function_list(ctx(), true, 1, "b.c", "/s/b.c", {}));
  EXPECT_FALSE(e2e::file_exists(dir_.file("CodeCoverage/_S_B_C_CVRDFNCS_4.HTML")));
}

}  // namespace
}  // namespace vorel
