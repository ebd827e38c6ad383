// End-to-end tests of the text and XML coverage lists and the call graph on
// a small two-module program:
//
//   main.obj / main.c
//     main    3..12  calls compute (line 4), an indirect call (line 5, the
//                    target square), a virtual call (line 6, Shape_area and
//                    an unknown target), helper (line 8, never reached)
//     helper  14..17 static, has a record but never ran
//   util.obj / util.c
//     compute    2..6   calls square (line 3); an indirect site that saw nothing
//     _Z6squarei 8..9   (shown as "square"), called directly and indirectly
//     Shape_area 11..12 virtual target
//     unused     14..16 no dynamic record at all
//
// Two runs are merged into the dynamic profile: block counts are sums over
// both runs; the call graph divides by the runs. The expected files under
// expected/lists/ were worked out by hand from this description.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/harness.h"
#include "e2e/program_inputs.h"
#include "profile_writer/program.h"

namespace {

using profile_writer::CallSite;
using profile_writer::Routine;
using profile_writer::Target;
using profile_writer::ValueSite;

using e2e::numbered_routine;

profile_writer::Program demo_program() {
  Routine main_r = numbered_routine("main", 3, 12, 1,
                           {{3, 1, 2}, {4, 5, 2}, {5, 5, 2}, {6, 5, 2}, {8, 9, 0}, {10, 1, 2},
                            {10, 1, 4}});
  main_r.calls = {CallSite{"compute", 1, 4, false}, CallSite{"(indirect)", 2, 5, false},
                  CallSite{"(indirect)", 3, 6, false}, CallSite{"helper", 4, 8, true}};
  main_r.value_sites = {ValueSite{2, {Target{0x1000, false, 2.0f}}},
                        ValueSite{3, {Target{0x2000, true, 2.0f}, Target{0xdead, true, 1.0f}}}};

  Routine helper = numbered_routine("helper", 14, 17, 2, {{14, 1, 0}, {15, 5, 0}});
  helper.is_static = true;
  helper.external = false;

  Routine compute = numbered_routine("compute", 2, 6, 3, {{2, 1, 2}, {3, 5, 2}, {5, 5, 0}});
  compute.calls = {CallSite{"_Z6squarei", 1, 3, false}, CallSite{"(indirect)", 2, 5, false}};
  compute.value_sites = {ValueSite{2, {}}};

  Routine square = numbered_routine("_Z6squarei", 8, 9, 4, {{8, 1, 4}});
  square.indirectly_called = true;
  square.address = 0x1000;

  Routine shape = numbered_routine("Shape_area", 11, 12, 5, {{11, 1, 2}});
  shape.indirectly_called = true;
  shape.address = 0x2000;

  Routine unused = numbered_routine("unused", 14, 16, 6, {{14, 1, 0}, {15, 3, 0}});
  unused.in_dpi = false;

  profile_writer::Program p;
  p.runs = 2;
  p.modules = {
      {"", "main.obj", {{"", "main.c", {main_r, helper}}}},
      {"", "util.obj", {{"", "util.c", {compute, square, shape, unused}}}},
  };
  return p;
}

std::string expected(const std::string& name) {
  return e2e::host_names(e2e::expected_file("lists/" + name), {"main.c", "util.c"});
}

class ListsTest : public testing::Test {
 protected:
  void SetUp() override { write_profiles(profile_writer::SpiLayout::kTextV7); }

  void write_profiles(profile_writer::SpiLayout layout) {
    profile_writer::Program p = demo_program();
    profile_writer::write_spi(p, dir_.file("demo.spi"), layout);
    profile_writer::write_dpi(p, dir_.file("demo.dpi"), profile_writer::DpiLayout::kSegmented);
    std::string source;
    for (int i = 1; i <= 20; ++i) source += "line " + std::to_string(i) + "\n";
    e2e::write_file(dir_.file("main.c"), source);
    e2e::write_file(dir_.file("util.c"), source);
  }

  e2e::RunResult run(std::vector<std::string> args) {
    std::vector<std::string> all = {"-spi", "demo.spi", "-dpi", "demo.dpi", "-nopmeter"};
    all.insert(all.end(), args.begin(), args.end());
    return e2e::run_vorelcov(all, dir_.path(), e2e::kHostsOwnRules);
  }

  std::string output(const std::string& name) { return dir_.text(name); }
  // An XML list, which must be well-formed.
  std::string xml_output(const std::string& name) {
    EXPECT_EQ(e2e::xml_lint(dir_.file(name)), "") << name;
    return dir_.text(name);
  }

  e2e::TempDir dir_;
};

// The project name is XML attribute text in the XML list only;
// -include-nonexec needs a static file of version 7 or later.
TEST_F(ListsTest, FunctionAndBlockListsInEveryFormat) {
  for (bool v6 : {false, true}) {
    if (v6) write_profiles(profile_writer::SpiLayout::kTextV6);
    e2e::RunResult r = run({"-txtfcvrg", "f.txt", "-xmlfcvrg", "f.xml", "-txtbcvrg", "b.txt", "-prj",
                            "it's \"m\" &", v6 ? "-include-nonexec" : "-nopmeter"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(output("f.txt"), expected("functions.txt"));
    std::string f_xml = expected("functions.xml");
    f_xml.replace(0, f_xml.find('\n'), "<PROJECT name = \"it&apos;s &quot;m&quot; &amp;\">");
    EXPECT_EQ(xml_output("f.xml"), f_xml);
    EXPECT_EQ(output("b.txt"), expected("blocks.txt"));
    EXPECT_FALSE(e2e::file_exists(dir_.file("CodeCoverage")));
  }
}

// During the file pass, with or without the HTML report beside them.
TEST_F(ListsTest, FullListsAreWrittenDuringTheFilePass) {
  for (bool html : {false, true}) {
    e2e::RunResult r = run({html ? "-counts" : "-nohtml", "-txtbcvrgfull", "full.txt", "-xmlbcvrgfull", "full.xml"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(output("full.txt"), expected("full.txt"));
    EXPECT_EQ(xml_output("full.xml"), expected("full.xml"));
    EXPECT_EQ(e2e::file_exists(dir_.file("CodeCoverage")), html);
    EXPECT_EQ(e2e::file_exists(dir_.file("CODE_COVERAGE.HTML")), html);
  }
}

TEST_F(ListsTest, FullListsStayEmptyInTheTextMode) {
  e2e::RunResult r = run({"-txtfcvrg", "f.txt", "-xmlbcvrgfull", "full.xml", "-txtbcvrgfull",
                          "full.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(output("f.txt"), expected("functions.txt"));
  EXPECT_EQ(xml_output("full.xml"), "<PROJECT name = \"(null)\">\n</PROJECT>\n");
  EXPECT_EQ(output("full.txt"), "");
}

TEST_F(ListsTest, EveryTextOutputInOneRun) {
  e2e::RunResult r = run({"-txtdcg", "cg.txt", "-xmlbcvrg", "b.xml", "-txtbcvrg", "b.txt",
                          "-xmlfcvrg", "f.xml", "-txtfcvrg", "f.txt", "-prj", "Demo <1>",
                          "-include-nonexec"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(output("cg.txt"), expected("call_graph.txt"));
  EXPECT_EQ(xml_output("b.xml"), expected("blocks_nonexec.xml"));
  EXPECT_EQ(output("b.txt"), expected("blocks_nonexec.txt"));
  std::string f_xml = expected("functions.xml");
  f_xml.replace(0, f_xml.find('\n'), "<PROJECT name = \"Demo &lt;1&gt;\">");
  EXPECT_EQ(xml_output("f.xml"), f_xml);
  EXPECT_EQ(output("f.txt"), expected("functions.txt"));
}

TEST_F(ListsTest, CallGraphWithFullSignatures) {
  e2e::RunResult r = run({"-demang", "-txtdcg", "cg.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string want = expected("call_graph.txt");
  for (size_t at; (at = want.find("\"square\"")) != std::string::npos;)
    want.replace(at, 8, "\"square(int)\"");
  EXPECT_EQ(output("cg.txt"), want);
}

// u's handler at line 3 takes a clone of block 0 (3 runs): 3 blocks, 2
// covered; -nounwind leaves handler and clone out: 1 block, covered.
TEST(Lists, NoUnwindLeavesHandlerBlocksOut) {
  e2e::TempDir dir;
  Routine u = profile_writer::routine("u", 1, 4, {{2, 1, 3}, {3, 1, 0, {}, true}});
  u.position_mode = 3;
  profile_writer::Program p;
  p.modules.push_back(e2e::module("u.c", {u}));
  e2e::write_inputs(dir, p, {{"u.c", "int u() {\n  a();\n  b();\n}\n"}});
  for (bool no_unwind : {false, true}) {
    const char* line = no_unwind ? "function - u\t3\t1\t1\t100.00\n" : "function - u\t3\t3\t2\t 66.67\n";
    ASSERT_EQ(e2e::run_inputs(dir, {"-txtfcvrg", "f.txt", no_unwind ? "-nounwind" : "-nopmeter"}).status, 0);
    EXPECT_NE(dir.text("f.txt").find(line), std::string::npos) << dir.text("f.txt");
  }
}

// A fatal stop puts none of its outputs in place.
TEST_F(ListsTest, CallGraphSiteOutsideItsRoutineStopsTheRun) {
  profile_writer::Program p = demo_program();
  p.modules[0].files[0].routines[0].value_sites[0].block = 7;  // main has 7 blocks
  profile_writer::write_dpi(p, dir_.file("demo.dpi"), profile_writer::DpiLayout::kSegmented);
  e2e::RunResult r = run({"-xmlfcvrg", "f.xml", "-txtdcg", "cg.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(e2e::list_dir(dir_.path()), (std::vector<std::string>{"demo.dpi", "demo.spi", "main.c", "util.c"}));
  const std::string assertion = "../dev/shared/zentra/kelvet:1416 ASSERTX(i < dpi->block_cnt)\n";
  ASSERT_GE(r.err.size(), assertion.size());
  EXPECT_EQ(r.err.substr(r.err.size() - assertion.size()), assertion);
}

}  // namespace
