// Branch arcs carried in the profile files (docs/FORMATS.md §1.7a): the
// extension outputs' branch figures, the partly executed line in the
// specified views, and no branch figure at all for profiles without arcs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "e2e/harness.h"
#include "e2e/program_inputs.h"
#include "profile/branch_tag.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

// b.c: f (lines 1-5) ran 4 times; line 3 took arc 0 every time and never
// arc 1, so it is partly executed; line 4 never ran (its arc is "-").
pw::Program program(bool with_arcs) {
  pw::Routine r = numbered_routine("f", 1, 5, 0, {{2, 1, 4}, {2, 1, 4}, {3, 1, 4}, {4, 1, 0}});
  r.blocks[0].lines.clear();  // the entry block
  if (with_arcs) {
    pw::Block partial;
    partial.line = 3;
    partial.col = 1;
    partial.lines = {3};
    r.blocks.push_back(partial);
    for (auto [line, number, count, ran] : {std::tuple{3u, 0u, 4u, true}, {3u, 1u, 0u, true}, {4u, 0u, 0u, false}}) {
      pw::Block arc;
      arc.count = count;
      arc.map_first = line;
      arc.map_value = vorel::branch_kept_value(number, !ran);
      r.blocks.push_back(arc);
      ++r.extra_blocks;
    }
  }
  pw::Program p;
  p.modules.push_back(module("b.c", {r}));
  return p;
}

// The lines of `text` that hold `what`.
std::string lines_with(const std::string& text, const std::string& what) {
  std::string out;
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find('\n', at), text.size());
    if (text.substr(at, end - at).find(what) != std::string::npos) out += text.substr(at, end - at) + "\n";
    at = end + 1;
  }
  return out;
}

const char* const kSource = "int f(int x) {\n  int y = 0;\n  if (x) y = 1;\n  return -1;\n}\n";

TEST(Branches, FiguresOfEveryExtensionOutput) {
  TempDir dir;
  write_inputs(dir, program(true), {{"b.c", kSource}});
  RunResult r = run_inputs(dir, {"-txtlcov", "-blockcounts", "--lcov", "t.info", "--summary", "--json-summary",
                                 "s.json", "--cobertura", "c.xml", "--fail-under-branch", "33.34"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(lines_with(r.err, "branch"), "vorelcov: branch coverage 33.33% is below --fail-under-branch 33.34% by 0.01%.\n");
  EXPECT_EQ(lines_with(r.out, "lines:"),
            "lines: 66.67% (2 of 3), functions: 100.00% (1 of 1), blocks: 60.00% (3 of 5), branches: 33.33% (1 of 3)\n");
  EXPECT_EQ(lines_with(*read_file(dir.file("t.info")), "BR"),
            "BRDA:3,0,0,4\nBRDA:3,0,1,0\nBRDA:4,0,0,-\nBRF:3\nBRH:1\n");
  EXPECT_NE(read_file(dir.file("s.json"))->find("\"branches\": {\"total\": 3, \"covered\": 1, \"percent\": 33.33}}\n}"),
            std::string::npos);
  const std::string xml = *read_file(dir.file("c.xml"));
  EXPECT_NE(xml.find("branch-rate=\"0.3333\" lines-covered=\"2\" lines-valid=\"3\" branches-covered=\"1\" branches-valid=\"3\""),
            std::string::npos);
  EXPECT_EQ(lines_with(xml, "number=\"3\""), std::string(2, ' ').append(14, ' ') +
            "<line number=\"3\" hits=\"4\" branch=\"true\" condition-coverage=\"50% (1/2)\"/>\n" +
            std::string(12, ' ') + "<line number=\"3\" hits=\"4\" branch=\"true\" condition-coverage=\"50% (1/2)\"/>\n");
  // The partly executed line keeps its count and shows its uncovered block.
  const std::string text = *read_file(dir.file("CodeCoverage/" + [&] {
    for (const auto& e : std::filesystem::directory_iterator(dir.file("CodeCoverage"))) return e.path().filename().string();
    return std::string();
  }()));
  EXPECT_EQ(lines_with(text, "      3"), "               4:      3:  if (x) y = 1;\n"
                                        "               -:      3-1 of 2 blocks covered\n"
                                        "           $$$$$:      3-BLOCK 0\n"
                                        "               4:      3-BLOCK 1\n");
}

TEST(Branches, PartlyExecutedLineIsPartlyCoveredInTheSourceView) {
  TempDir dir;
  write_inputs(dir, program(true), {{"b.c", kSource}});
  ASSERT_EQ(run_inputs(dir, {"-counts"}).status, 0);
  std::string view;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir.file("CodeCoverage")))
    if (e.is_regular_file() && e.path().string().find("B_C") != std::string::npos) {
      std::string page = *read_file(e.path().string());
      if (page.find("y = 1;") != std::string::npos) view = page;
    }
  ASSERT_FALSE(view.empty());
  const std::string line3 = view.substr(view.find("if (x)") - 200, 200);
  EXPECT_NE(line3.find("#fafad2"), std::string::npos) << line3;
}

TEST(Branches, ProfilesWithoutArcsShowNoBranchFigure) {
  TempDir dir;
  write_inputs(dir, program(false), {{"b.c", kSource}});
  RunResult r = run_inputs(dir, {"-txtlcov", "--lcov", "t.info", "--summary", "--json-summary", "s.json",
                                 "--cobertura", "c.xml"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lines_with(r.out, "lines:"), "lines: 66.67% (2 of 3), functions: 100.00% (1 of 1), blocks: 75.00% (3 of 4)\n");
  EXPECT_EQ(lines_with(*read_file(dir.file("t.info")), "BR"), "");
  EXPECT_EQ(read_file(dir.file("s.json"))->find("branches"), std::string::npos);
  EXPECT_NE(read_file(dir.file("c.xml"))->find("branches-covered=\"0\" branches-valid=\"0\""), std::string::npos);
  // A branch gate cannot pass on such profiles.
  r = run_inputs(dir, {"-txtlcov", "--fail-under-branch", "0"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(lines_with(r.err, "branch"), "vorelcov: branch coverage cannot be checked by --fail-under-branch: the "
                                         "profiles hold no branch information.\n");
}

}  // namespace
}  // namespace e2e
