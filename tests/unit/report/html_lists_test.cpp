#include <gtest/gtest.h>

#include "coverage/coverage_list.h"
#include "coverage/function_table.h"
#include "driver/diag.h"
#include "html_page_fixture.h"
#include "report/html_file_list.h"
#include "report/html_function_list.h"

namespace vorel {
namespace {

class ListsTest : public PageTest {
 protected:
  FileEntry& file(const std::string& name, uint32_t fns, uint32_t cfns) {
    FileEntry& e = store_.emplace_back();
    e.name = e.report_name = name;
    e.functions = fns;
    e.covered_functions = cfns;
    e.function_percent = percent_of(cfns, fns);
    entries_.push_back(&e);
    return e;
  }
  FunctionInfo& function(const std::string& name, uint32_t line, uint32_t blocks,
                         uint32_t covered) {
    FunctionInfo& f = functions_.emplace_back();
    f.readable_name = f.proc_name = name;
    f.start_line = line;
    f.blocks = blocks;
    f.covered_blocks = covered;
    f.block_percent = percent_of(covered, blocks);
    return f;
  }
  std::vector<const FunctionInfo*> fn_ptrs() const {
    std::vector<const FunctionInfo*> v;
    for (const FunctionInfo& f : functions_) v.push_back(&f);
    return v;
  }

  std::deque<FileEntry> store_;
  std::vector<const FileEntry*> entries_;
  std::deque<FunctionInfo> functions_;
};

bool has(const std::string& page, const std::string& text) {
  return page.find(text) != std::string::npos;
}

TEST_F(ListsTest, CoveredFileListLinksFollowTheTable) {
  file("/s/a.c", 2, 1);
  ASSERT_TRUE(write_file_lists(ctx(), true, "__Covered_Files_Coverage", entries_));
  const std::string p = page("CodeCoverage/__COVERED_FILES_COVERAGE_1.HTML");  // order -2
  EXPECT_TRUE(has(p, "title=\"sort based on file name\" href=\"__COVERED_FILES_COVERAGE_4.HTML\""));
  EXPECT_TRUE(has(p, "title=\"sort based on function coverage%\" "
                     "href=\"__COVERED_FILES_COVERAGE_5.HTML\">cvrg%</a>"));
  EXPECT_TRUE(has(p, "title=\"sort based on block coverage%\" "
                     "href=\"__COVERED_FILES_COVERAGE_0.HTML\">cvrg%</a>"));
  EXPECT_TRUE(has(p, "<title>Vorel&#174; Compilers code-coverage information</title>\n"));
  EXPECT_TRUE(has(p, ">Covered Files</h4>\n<ol>\n"));
}

TEST_F(ListsTest, DifferentialListsUseTheFullLayoutAndMissLabels) {
  settings_.differential = true;
  file("/s/a.c", 2, 1);
  ASSERT_TRUE(write_file_lists(ctx(), false, "__Uncovered_Files_Coverage", entries_));
  for (int n : {0, 1, 2, 4, 5, 6})
    EXPECT_TRUE(e2e::file_exists(
        dir_.file("CodeCoverage/__UNCOVERED_FILES_COVERAGE_" + std::to_string(n) + ".HTML")));
  const std::string p = page("CodeCoverage/__UNCOVERED_FILES_COVERAGE_4.HTML");
  EXPECT_TRUE(has(p, "<TH ALIGN=\"center\">missed</TH>\n<TH ALIGN=\"center\"><a target=\"_self\" "
                     "title=\"sort based on miss rate%\" "
                     "href=\"__UNCOVERED_FILES_COVERAGE_5.HTML\">miss%</a></TH>\n"));
  EXPECT_TRUE(has(p, "<TD ALIGN=\"right\"> 50.00</TD>\n"));
}

TEST_F(ListsTest, FileNamesAreEscapedAndLinksEncoded) {
  file("/s/a<b>&c.c", 1, 1);
  ASSERT_TRUE(write_file_list(ctx(true), true, 1, "__Covered_Files_Coverage", entries_));
  const std::string p = page("CodeCoverage/__COVERED_FILES_COVERAGE_4.HTML");
  EXPECT_TRUE(has(p, "<TD ALIGN=\"left\"><a href=\"_S_A%3CB%3E%26C_C.HTML\" "
                     "title=\"/s/a&lt;b&gt;&amp;c.c\">a&lt;b&gt;&amp;c.c</a></TD>\n"));
  EXPECT_TRUE(has(p, "<head>\n<meta http-equiv=\"Content-Type\" "
                     "content=\"text/html;charset=UTF-8\" />\n<title>"));
}

TEST_F(ListsTest, FileRowsSortByDisplayName) {
  file("/z/b.c", 1, 1);
  file("/a/c.c", 1, 1);
  file("/y/a.c", 1, 1);
  ASSERT_TRUE(write_file_list(ctx(), true, -1, "__Covered_Files_Coverage", entries_));
  const std::string p = page("CodeCoverage/__COVERED_FILES_COVERAGE_2.HTML");
  EXPECT_LT(p.find(">c.c<"), p.find(">b.c<"));
  EXPECT_LT(p.find(">b.c<"), p.find(">a.c<"));
}

TEST_F(ListsTest, InvalidOrdersEndTheRun) {
  for (int order : {0, 4, -4}) {
    testing::internal::CaptureStderr();
    EXPECT_THROW(write_file_list(ctx(), true, order, "__Covered_Files_Coverage", entries_),
                 FatalExit);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Invalid sorting option " + std::to_string(order) + "\n");
    testing::internal::CaptureStderr();
    EXPECT_THROW(write_function_list(ctx(), true, order, "a.c", "/s/a.c", {}), FatalExit);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Invalid sorting option " + std::to_string(order) + "\n");
  }
}

TEST_F(ListsTest, ListFailureMessages) {
  block("CodeCoverage/__COVERED_FILES_COVERAGE_4.HTML");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_file_list(ctx(), true, 1, "__Covered_Files_Coverage", entries_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Unable to create root html file __Covered_Files_Coverage!\n");
  block("CodeCoverage/_S_A_C_CVRDFNCS_4.HTML");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_function_list(ctx(), true, 1, "a.c", "/s/a.c", {}));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Cannot open CodeCoverage/_S_A_C_CVRDFNCS_4.HTML for output!\n");
}

TEST_F(ListsTest, FunctionRowsAnchorFiveLinesAbove) {
  function("late", 40, 3, 0);
  function("early", 3, 2, 0);
  ASSERT_TRUE(write_function_list(ctx(), false, 3, "a.c", "/s/a.c", fn_ptrs()));
  const std::string p = page("CodeCoverage/_S_A_C_UNCVRDFNCS_6.HTML");
  EXPECT_TRUE(has(p, "<TR>\n<td align=\"center\">2</td>\n<td align=\"left\"><a "
                     "href=\"_S_A_C_SRC.HTML#l3\" title=\"Line 3\">early</a></td>\n</tr>\n"
                     "<TR>\n<td align=\"center\">3</td>\n<td align=\"left\"><a "
                     "href=\"_S_A_C_SRC.HTML#l35\" title=\"Line 40\">late</a></td>\n</tr>\n"));
  // Order 3 links blocks to page 0 and the name to page 4.
  EXPECT_TRUE(has(p, "title=\"sort based on blocks\" href=\"_S_A_C_UNCVRDFNCS_0.HTML\""));
  EXPECT_TRUE(has(p, "title=\"sort based on function name\" href=\"_S_A_C_UNCVRDFNCS_4.HTML\""));
}

TEST_F(ListsTest, DifferentialUncoveredFunctionsShowTheMissRate) {
  settings_.differential = true;
  function("f", 10, 4, 1);
  EXPECT_EQ(function_list_orders(false, true), (std::vector<int>{1, -1, 2, -2}));
  EXPECT_EQ(function_list_orders(false, false), (std::vector<int>{1, -1, 3, -3}));
  ASSERT_TRUE(write_function_list(ctx(), false, 1, "a.c", "/s/a.c", fn_ptrs()));
  const std::string p = page("CodeCoverage/_S_A_C_UNCVRDFNCS_4.HTML");
  EXPECT_TRUE(has(p, "<TH ALIGN=\"left\" COLSPAN=\"2\"><a target=\"_self\" title=\"sort based "
                     "on miss rate\" href=\"_S_A_C_UNCVRDFNCS_5.HTML\">miss rate</a></TH>\n"));
  EXPECT_TRUE(has(p, "<td align=\"right\"> 25.00</td><td align=\"center\">(1/4)</td>\n"));
}

TEST_F(ListsTest, WindowsNamingDropsUnderscoreAndAtDigits) {
  settings_.host = windows_rules();
  settings_.host.separator = '/';  // the files of this test live on a POSIX disk
  function("_f@8", 7, 1, 1);
  function("operator<", 9, 1, 1);
  ASSERT_TRUE(write_function_list(ctx(), true, 1, "a.c", "/s/a.c", fn_ptrs()));
  const std::string p = page("CodeCoverage/_S_A_C_CVRDFNCS_4.HTML");
  EXPECT_TRUE(has(p, "title=\"Line 7\">f</a></td>\n"));
  EXPECT_TRUE(has(p, "title=\"Line 9\">operator&lt;</a></td>\n"));
}

TEST_F(ListsTest, TestsCellLinksTheDatabaseViewer) {
  settings_.qst_links = 1;
  function("f", 7, 1, 1);
  ASSERT_TRUE(write_function_list(ctx(), true, 1, "a.c", "/s/a.c", fn_ptrs()));
  EXPECT_TRUE(has(page("CodeCoverage/_S_A_C_CVRDFNCS_4.HTML"),
                  "</a></td>\n<td align=\"center\"><a target=\"_new\" "
                  "href=\"http://qst_host/function_tests_viewer.php?function_name=f&dbName=qst_db\" "
                  "title=\"all cover tests\">Tests</a></td></tr>\n"));
  settings_.qst_host = "HtTp://db.example:8080";
  settings_.qst_db_name = "my db";
  settings_.qst_db_project = "p&q";
  functions_.clear();
  function("?f@@YAHXZ", 7, 1, 1);
  ASSERT_TRUE(write_function_list(ctx(), true, 1, "a.c", "/s/a.c", fn_ptrs()));
  EXPECT_TRUE(has(page("CodeCoverage/_S_A_C_CVRDFNCS_4.HTML"),
                  "href=\"HtTp://db.example:8080/function_tests_viewer.php?function_name="
                  "%3Ff%40%40YAHXZ&dbName=my%20db&project_name=p%26q\" title=\"all cover "
                  "tests\">Tests</a></td></tr>\n"));
}

TEST_F(ListsTest, NoHtmlWritesNoFunctionList) {
  settings_.no_html = true;
  function("f", 7, 1, 1);
  EXPECT_TRUE(write_function_list(ctx(), true, 1, "a.c", "/s/a.c", fn_ptrs()));
  EXPECT_FALSE(e2e::file_exists(dir_.file("CodeCoverage/_S_A_C_CVRDFNCS_4.HTML")));
}

}  // namespace
}  // namespace vorel
