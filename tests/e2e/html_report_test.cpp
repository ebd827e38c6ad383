// The HTML report end to end: a two-file program whose pages were worked out
// by hand (tests/e2e/expected/html_demo), link integrity of the whole set,
// and the mode's variants (-ref, non-ASCII names, failures); -nohtml is
// pinned by the full-list runs of lists_test.cpp.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/program_inputs.h"
#include "link_check.h"

namespace e2e {
namespace {

namespace pw = profile_writer;
using pw::routine;

// tests/e2e/data/html_demo: demo.c (sq runs 1,000 times from main's loop,
// never() is not called, main's "puts" never runs and one of the two blocks
// of its return expression does not either) and util.c (not called).
pw::Program demo_program() {
  pw::Program p;
  p.modules.push_back(module("demo.c", {
      routine("sq", 3, 5, {{4, 3, 1000}}),
      routine("never", 7, 10, {{8, 3, 0}, {9, 3, 0}}),
      routine("main", 12, 17, {{13, 3, 1}, {14, 3, 1}, {14, 19, 1001}, {14, 29, 1000},
                               {14, 34, 1000}, {15, 3, 1}, {15, 14, 0}, {16, 3, 1},
                               {16, 10, 1}, {16, 10, 0}}),
  }));
  p.modules.push_back(module("util.c", {routine("unused", 1, 4, {{3, 3, 0}})}));
  return p;
}

void write_inputs(const TempDir& dir, const pw::Program& p) {
  const std::string data = source_dir() + "/tests/e2e/data/html_demo/";
  write_inputs(dir, p, {{"demo.c", *read_file(data + "demo.c")}, {"util.c", *read_file(data + "util.c")}});
}

// A hand-checked page with the shown source names in the host's form.
std::string expected_page(const std::string& page) {
  return host_names(expected_file("html_demo/" + page), {"src/demo.c", "src/util.c", "demo.c", "util.c"});
}

// Whether the page (the root page, or one under CodeCoverage/) holds `text`.
bool page_has(const TempDir& dir, const std::string& page, const std::string& text) {
  const std::string path = page == "CODE_COVERAGE.HTML" ? page : "CodeCoverage/" + page;
  return dir.text(path).find(text) != std::string::npos;
}

// The expected pages were worked out by hand. demo.c: 3 functions, 2 ran
// (66.67%); 13 blocks (never's 2, sq's 1, main's 10), 9 ran (69.23%).
// util.c: 1 function and 1 block, none ran. Totals: files 2/1, functions
// 4/2, blocks 14/9 (64.29%). In the source view, never's start (7,1) is
// uncovered-function pink through line 10, the end marks at lines 6 and 11
// reset to unknown white, puts (15,14) is yellow, the two blocks at (16,10)
// are partial "(1/2)", and on line 14 "^ 1,000 " at column 29 is wider than
// the 5 columns to the next mark, so the count of column 34 wraps.
TEST(HtmlReport, HandCheckedPagesAndLinks) {
  TempDir dir;
  write_inputs(dir, demo_program());
  RunResult r = run_inputs(dir, {"-prj", "demo", "-counts"}, kHostsOwnRules);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, kScanDone);
  EXPECT_EQ(r.out, "");
  for (const char* page : {"__CODE_COVERAGE.HTML", "__TOOLBAR.HTML", "__COVERED_FILES_COVERAGE_4.HTML",
                           "__UNCOVERED_FILES_COVERAGE_4.HTML", "SRC_DEMO_C.HTML",
                           "SRC_DEMO_C_CVRDFNCS_4.HTML", "SRC_DEMO_C_SRC.HTML",
                           "SRC_UTIL_C_UNCVRDFNCS_4.HTML"})
    EXPECT_EQ(dir.text(std::string("CodeCoverage/") + page),
              expected_page(page))
        << page;
  EXPECT_EQ(dir.text("CODE_COVERAGE.HTML"), expected_page("CODE_COVERAGE.HTML"));
  // Every page and image of the set is there and linked: 4 images, toolbar,
  // help, summary; 6 + 2 file lists; demo.c: frame, view, 4 + 4 function
  // lists; util.c: frame, view, 4 function lists.
  EXPECT_EQ(list_dir(dir.file("CodeCoverage")).size(), 4u + 3u + 8u + 10u + 6u);
  EXPECT_EQ(dir.read("CodeCoverage/__Home.gif").size(), 977u);
  EXPECT_EQ(dir.read("CodeCoverage/__Help.gif").size(), 187u);
  EXPECT_EQ(dir.read("CodeCoverage/__VorelR.gif").size(), 1414u);
  EXPECT_EQ(dir.read("CodeCoverage/__Spacer.gif").size(), 43u);
  int checked = 0;
  EXPECT_EQ(link_check::broken_links(dir.path(), checked), std::vector<std::string>{});
  EXPECT_GT(checked, 100);
}

// With -ref: now, util.c's unused() runs too; the reference run executed sq
// only. main and unused are newly covered. demo.c has new coverage but not
// every routine is new (covered list); every routine of util.c is new
// (uncovered list): both lists, split 50/50.
TEST(HtmlReport, DifferentialRunSplitsTheListsFiftyFifty) {
  TempDir dir;
  pw::Program now = demo_program();
  now.modules[1].files[0].routines[0].blocks[0].count = 5;
  write_inputs(dir, now);
  pw::Program ref = demo_program();
  for (auto& r : ref.modules[0].files[0].routines)
    if (r.name == "main")
      for (auto& b : r.blocks) b.count = 0;
  pw::write_dpi(ref, dir.file("ref.dpi"), pw::DpiLayout::kSegmentedToc);
  RunResult r = run_inputs(dir, {"-ref", "ref.dpi"}, kHostsOwnRules);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(page_has(dir, "CODE_COVERAGE.HTML", "<frameset cols=\"50%, *\">\n"));
  EXPECT_TRUE(page_has(dir, "__CODE_COVERAGE.HTML", "<TH ALIGN=\"center\">missed</TH>"));
  EXPECT_TRUE(page_has(dir, "SRC_DEMO_C_SRC.HTML", "miss rate:&#160 "));
  // main ran only now: its lines take the uncovered-function colour from
  // its first line on.
  EXPECT_TRUE(page_has(dir, "SRC_DEMO_C_SRC.HTML",
                       "    12) <a name=\"l12\" style=\"background-color: #ffcccc\">"));
  int checked = 0;
  EXPECT_EQ(link_check::broken_links(dir.path(), checked), std::vector<std::string>{});
}

// A non-ASCII file name adds the charset line to the pages that show it;
// markup in file, project and owner names is escaped.
TEST(HtmlReport, NamesWithMarkupAndNonAsciiBytes) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: Windows file names cannot hold '<' and '>'";
#endif
  TempDir dir;
  pw::Program p = demo_program();
  p.modules[1].files[0].name = "\xC3\xBC<b>&c.c";
  write_inputs(dir, p);
  rename(dir.file("src/util.c").c_str(), dir.file("src/\xC3\xBC<b>&c.c").c_str());
  ASSERT_EQ(run_inputs(dir, {"-prj", "<i>x</i>", "-mname", "<b>me</b>"}).status, 0);
  const std::string charset = "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\" />\n";
  for (const char* page : {"__TOOLBAR.HTML", "__UNCOVERED_FILES_COVERAGE_4.HTML", "SRC_DEMO_C.HTML",
                           "SRC_DEMO_C_CVRDFNCS_4.HTML"})
    EXPECT_TRUE(page_has(dir, page, charset)) << page;
  for (const char* page : {"CODE_COVERAGE.HTML", "CodeCoverage/__CODE_COVERAGE.HTML",
                           "CodeCoverage/__HELP.HTML", "CodeCoverage/SRC_DEMO_C_SRC.HTML"})
    EXPECT_EQ(dir.text(page).find("charset"), std::string::npos) << page;
  const std::string list = dir.text("CodeCoverage/__UNCOVERED_FILES_COVERAGE_4.HTML");
  EXPECT_NE(list.find("<a href=\"SRC_%C3%BC%3CB%3E%26C_C.HTML\" title=\"src/\xC3\xBC&lt;b&gt;&amp;c.c\">"
                      "\xC3\xBC&lt;b&gt;&amp;c.c</a>"),
            std::string::npos) << list;
  for (const char* text : {"Uncovered Files in &lt;i&gt;x&lt;/i&gt;</h4>", ">&lt;b&gt;me&lt;/b&gt;</a>"})
    EXPECT_NE(list.find(text), std::string::npos) << text;
  EXPECT_EQ(list.find("<b>"), std::string::npos);
  EXPECT_NE(dir.text("CodeCoverage/__CODE_COVERAGE.HTML").find("Coverage Summary of &lt;i&gt;x&lt;/i&gt;</h3>"),
            std::string::npos);
  int checked = 0;
  EXPECT_EQ(link_check::broken_links(dir.path(), checked), std::vector<std::string>{});
}

// A DEL byte in a file name is not printable either: the charset line too.
TEST(HtmlReport, DelByteInAFileNameAddsTheCharsetLine) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX only: the name is made on the host's file system";
#endif
  TempDir dir;
  pw::Program p;
  p.modules.push_back(module("d\x7f.c", {routine("f", 1, 2, {{1, 1, 1}})}));
  write_inputs(dir, p, {{"d\x7f.c", "int f(void)\n{ return 0; }\n"}});
  ASSERT_EQ(run_inputs(dir, {}).status, 0);
  EXPECT_TRUE(page_has(dir, "__TOOLBAR.HTML",
                       "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\" />\n"));
}

// A file in a subdirectory of the source root: -showdirnames shows the path
// below the root in the file list, the source view and the titles of the
// frame and function pages (without it only the base name); -maddr alone
// names the owner too; any qst option adds the Tests cell, whose link
// carries the profile name ("g@8", '@' encoded) while the row shows "g".
// g starts at line 7, so its row links to the anchor of line 2.
TEST(HtmlReport, DirectoryNamesOwnerAndTestLinks) {
  TempDir dir;
  pw::Program p;
  p.modules.push_back(module("sub/b.c", {routine("g@8", 7, 9, {{8, 3, 2}})}));
  write_inputs(dir, p, {{"sub/b.c", "\n\n\n\n\n\nint g(void)\n{ return 1;\n}\n"}});

  for (bool dirs : {true, false}) {
    std::vector<std::string> extra = {"-maddr", "me@x.org", "-qst_host", "h"};
    if (dirs) extra.push_back("-showdirnames");
    ASSERT_EQ(run_inputs(dir, extra, kHostsOwnRules).status, 0);
    const std::string shown = host_name(dirs ? "sub/b.c" : "b.c");
    EXPECT_TRUE(page_has(dir, "__COVERED_FILES_COVERAGE_4.HTML",
                         "<TD ALIGN=\"left\"><a href=\"SRC_SUB_B_C.HTML\" title=\"" + host_name("src/sub/b.c") + "\">" +
                             shown + "</a></TD>\n"));
    EXPECT_TRUE(page_has(dir, "SRC_SUB_B_C_SRC.HTML", "<title>Listing of " + shown + "</title>\n"));
    EXPECT_TRUE(page_has(dir, "SRC_SUB_B_C.HTML",
                         "<title>Vorel&#174; Compilers code-coverage information for " + shown +
                             "</title>\n"));
    EXPECT_TRUE(page_has(dir, "SRC_SUB_B_C_CVRDFNCS_4.HTML",
                         "<title>Covered Functions of " + shown + "</title>\n"));
    EXPECT_TRUE(page_has(dir, "SRC_SUB_B_C_CVRDFNCS_4.HTML",
                         "<td align=\"left\"><a href=\"SRC_SUB_B_C_SRC.HTML#l2\" title=\"Line 7\">"
                         "g</a></td>\n<td align=\"center\"><a target=\"_new\" href=\"http://h/"
                         "function_tests_viewer.php?function_name=g%408&dbName=qst_db\" "
                         "title=\"all cover tests\">Tests</a></td></tr>\n"));
    EXPECT_TRUE(page_has(dir, "SRC_SUB_B_C_SRC.HTML",
                         "<tr><a>Web-Page Owner: <a href=\"mailto:me@x.org\">me@x.org</a></tr>\n"));
  }
}

TEST(HtmlReport, UnwritableReportDirectoryEndsTheRun) {
  TempDir dir;
  write_inputs(dir, demo_program());
  write_file(dir.file("CodeCoverage"), "not a directory");
  RunResult r = run_inputs(dir, {}, kHostsOwnRules);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + kReportDirectoryInTheWay + "Unable to create ToolBar file!\n");
}

}  // namespace
}  // namespace e2e
