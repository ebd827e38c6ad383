// Branch arcs carried in the profile files (docs/FORMATS.md §1.7a): the
// extension outputs' branch figures, the partly executed line in the
// specified views, and no branch figure at all for profiles without arcs.
#include <gtest/gtest.h>

#include "cli_expect.h"
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

const char* const kSource = "int f(int x) {\n  int y = 0;\n  if (x) y = 1;\n  return -1;\n}\n";

TEST(Branches, FiguresOfEveryExtensionOutputWithAndWithoutArcs) {
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
  expect_outputs(dir.path(), "outputs.tsv", "branches");
  const std::string xml = *read_file(dir.file("c.xml"));
  EXPECT_EQ(lines_with(xml, "number=\"3\""), std::string(2, ' ').append(14, ' ') +
            "<line number=\"3\" hits=\"4\" branch=\"true\" condition-coverage=\"50% (1/2)\"/>\n" +
            std::string(12, ' ') + "<line number=\"3\" hits=\"4\" branch=\"true\" condition-coverage=\"50% (1/2)\"/>\n");
  // The partly executed line keeps its count and shows its uncovered block;
  // in the source view it is partly covered.
  EXPECT_EQ(lines_with(dir.read("CodeCoverage/SRC_B_C.LCOV"), "      3"), expected_file("branches_line3.txt"));
  ASSERT_EQ(run_inputs(dir, {"-counts"}).status, 0);
  const std::string view = dir.read("CodeCoverage/SRC_B_C_SRC.HTML");
  EXPECT_NE(view.substr(view.find("if (x)") - 200, 200).find("#fafad2"), std::string::npos);

  // Profiles without arcs show no branch figure.
  write_inputs(dir, program(false), {{"b.c", kSource}});
  r = run_inputs(dir, {"-txtlcov", "--lcov", "t.info", "--summary", "--json-summary", "s.json", "--cobertura",
                       "c.xml"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(lines_with(r.out, "lines:"), "lines: 66.67% (2 of 3), functions: 100.00% (1 of 1), blocks: 75.00% (3 of 4)\n");
  EXPECT_EQ(lines_with(*read_file(dir.file("t.info")), "BR"), "");
  expect_outputs(dir.path(), "outputs.tsv", "no branches");
  // A branch gate cannot pass on such profiles.
  r = run_inputs(dir, {"-txtlcov", "--fail-under-branch", "0"});
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(lines_with(r.err, "branch"), "vorelcov: branch coverage cannot be checked by --fail-under-branch: the "
                                         "profiles hold no branch information.\n");
}

}  // namespace
}  // namespace e2e
