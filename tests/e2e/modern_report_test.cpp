// The modern HTML report (--html DIR) on the bundled example and on a
// program with hostile names: its figures equal the JSON summary's of the
// same run (and the example's description: lines 90/79, functions 18/15,
// blocks 98/88), every link and #L anchor resolves, no page holds inline
// script or style, the bytes are the same for every --jobs, and names are
// escaped with one page per source file.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "cli_expect.h"
#include "e2e/program_inputs.h"
#include "link_check.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
namespace pw = profile_writer;

RunResult run_demo(const TempDir& dir, std::vector<std::string> extra) {
  if (!file_exists(dir.file("demo"))) place_demo(dir.file("demo"));
  std::vector<std::string> args = {"-spi", "demo/demo.spi", "-dpi", "demo/demo.dpi", "-srcroot",
                                   "demo", "-comp", "demo/demo.comp", "-nopmeter"};
  args.insert(args.end(), extra.begin(), extra.end());
  return run_vorelcov(args, dir.path(), {{"SOURCE_DATE_EPOCH", "1700000000"}});
}

std::vector<fs::path> pages_of(const std::string& dir) {
  std::vector<fs::path> pages;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().extension() == ".html") pages.push_back(e.path());
  return pages;
}

// The three cards of a page: "covered/total" of lines, functions, blocks.
std::vector<std::string> cards(const std::string& page) {
  std::vector<std::string> out;
  const std::regex card(R"(<h2>(Lines|Functions|Blocks)</h2>.*?<p>(\d+) of (\d+) covered</p>)");
  for (std::sregex_iterator it(page.begin(), page.end(), card), end; it != end; ++it)
    out.push_back((*it)[2].str() + "/" + (*it)[3].str());
  return out;
}

// The same figures from the JSON summary: of the file `name`, or the totals.
std::vector<std::string> json_cards(const std::string& json, const std::string& name) {
  const size_t at = name.empty() ? json.find("\"totals\"") : json.find("\"name\": \"" + name + "\"");
  std::vector<std::string> out;
  if (at == std::string::npos) return out;
  const std::string rest = json.substr(at, json.find('\n', at) - at);
  const std::regex figure(R"re("(lines|functions|blocks)": \{"total": (\d+), "covered": (\d+))re");
  for (std::sregex_iterator it(rest.begin(), rest.end(), figure), end; it != end; ++it)
    out.push_back((*it)[3].str() + "/" + (*it)[2].str());
  return out;
}

// The demo's report with --jobs 1 and 3: figures, links, bytes, thresholds.
TEST(ModernReport, DemoReport) {
  TempDir dir;
  for (const char* jobs : {"1", "3"}) {
    RunResult r = run_demo(dir, {"-counts", "--jobs", jobs, "--html", std::string("j") + jobs, "--json-summary", "s.json"});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  const std::string json = dir.read("s.json");
  const std::vector<std::string> expected = {"79/90", "15/18", "88/98"};
  EXPECT_EQ(json_cards(json, ""), expected);
  EXPECT_EQ(cards(dir.read("j1/index.html")), expected);
  EXPECT_EQ(cards(dir.read("j1/d-src.html")), expected);  // every file is under src/
  for (const char* base : {"grade.c", "main.c", "report.c", "stats.c", "util.c"}) {
    SCOPED_TRACE(base);
    const std::string page = dir.read(std::string("j1/f-src_") + base + ".html");
    EXPECT_EQ(cards(page), json_cards(json, std::string("demo/src/") + base));
    EXPECT_NE(page.find("<h1>src/" + std::string(base) + "</h1>"), std::string::npos);
  }
  // util.c: clamp's line 10 never ran, line 19 is excluded, die was never
  // called; main.c line 39: one of three blocks did not run, the details say which.
  expect_outputs(dir.path(), "outputs.tsv", "modern demo");
  // Links resolve, no inline code, the same bytes for every --jobs.
  int checked = 0;
  EXPECT_EQ(link_check::broken_links(dir.file("j1"), checked), std::vector<std::string>{});
  EXPECT_GT(checked, 300);
  for (const fs::path& page : pages_of(dir.file("j1"))) {
    SCOPED_TRACE(page.filename().string());
    const std::string text = read_file(page.string()).value_or("");
    EXPECT_EQ(read_file(dir.file("j3/" + page.filename().string())), text);
    EXPECT_EQ(text.find(" style="), std::string::npos);
    EXPECT_EQ(text.find("<style"), std::string::npos);
    EXPECT_EQ(text.find("<script>"), std::string::npos);
    EXPECT_EQ(text.find("http"), std::string::npos);  // no outside resource
    EXPECT_NE(text.find("<meta name=\"viewport\""), std::string::npos);
  }
  EXPECT_NE(dir.read("j1/index.html").find("on 2023-11-14 22:13 UTC"), std::string::npos);
  EXPECT_EQ(dir.read("j1/vorelcov.js"), dir.read("j3/vorelcov.js"));
  // util.c lines 55.56 %: low by default, high when that is the high mark.
  RunResult r = run_demo(dir, {"--html", "a", "--html-medium", "50", "--html-high", "55.56"});
  ASSERT_EQ(r.status, 0) << r.err;
  expect_outputs(dir.path(), "outputs.tsv", "modern high");
  RunResult bad = run_demo(dir, {"--html", "b", "--html-high", "101"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("--html-high needs a percentage from 0 to 100"), std::string::npos);
  // A directory that cannot be made: status 1 and no other output either.
  write_file(dir.file("plain"), "x");
  RunResult blocked = run_demo(dir, {"--html", "plain/sub", "--json-summary", "j.json"});
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.err.find("cannot make the report directory plain/sub"), std::string::npos);
  EXPECT_FALSE(file_exists(dir.file("j.json")));
}

#ifndef _WIN32  // file names with quotes and '<' exist on POSIX only
TEST(ModernReport, HostileNamesAreEscapedAndPagesOneToOne) {
  TempDir dir;
  const std::vector<std::string> files = {"w/a\"b</script>.c", "w/a_b.c", "w/a/b.c", "w/a~5fb.c",
                                          "w/.x&y'.c"};
  const std::string hostile = "f</script><img src=x onerror=alert(1)>\"'&";
  pw::Program p;
  std::string name = hostile;
  for (uint32_t n = 1; n <= files.size(); ++n) {
    p.modules.push_back(module(files[n - 1], {numbered_routine(name, 1, 3, n, {{2, 1, n % 2}})}));
    name = std::to_string(n) + "g";
  }
  std::vector<std::pair<std::string, std::string>> sources;
  for (const std::string& f : files) sources.emplace_back(f, "{\n  x = \"</script>\";\n}\n");
  write_inputs(dir, p, sources);
  RunResult r = run_inputs(dir, {"--html", "h"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::set<std::string> page_names;
  for (const fs::path& page : pages_of(dir.file("h"))) {
    const std::string name = page.filename().string();
    page_names.insert(name);
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._~-"),
              std::string::npos) << name;
    const std::string text = read_file(page.string()).value_or("");
    EXPECT_EQ(text.find("</script>"), text.find("</script>\n</head>")) << name;  // the script tag's own
    EXPECT_EQ(text.find("<img"), std::string::npos) << name;
  }
  // index, w/, w/a/, w/a"b</ and one page per source file.
  EXPECT_EQ(page_names.size(), 4 + files.size());
  expect_outputs(dir.path(), "outputs.tsv", "modern hostile");
  int checked = 0;
  EXPECT_EQ(link_check::broken_links(dir.file("h"), checked), std::vector<std::string>{});
}
#endif

// With -ref: sq ran in both runs, main only now (the reference has its
// blocks at 0): main's lines 13 and 14 and main itself are newly covered.
TEST(ModernReport, DifferentialRunMarksNewlyCoveredLinesAndFunctions) {
  TempDir dir;
  auto program = [](uint64_t main_count) {
    pw::Program p;
    p.modules.push_back(module("d/demo.c", {numbered_routine("sq", 3, 5, 1, {{4, 3, 1000}}),
                                            numbered_routine("main", 12, 17, 2,
                                                             {{13, 3, main_count}, {14, 3, main_count}})}));
    return p;
  };
  std::string source;
  for (int i = 1; i <= 17; ++i) source += "line" + std::to_string(i) + "\n";
  write_inputs(dir, program(1), {{"d/demo.c", source}});
  pw::write_dpi(program(0), dir.file("ref.dpi"), pw::DpiLayout::kSegmentedToc);
  RunResult r = run_inputs(dir, {"-ref", "ref.dpi", "--html", "h"});
  ASSERT_EQ(r.status, 0) << r.err;
  expect_outputs(dir.path(), "outputs.tsv", "modern new");
}

}  // namespace
}  // namespace e2e
