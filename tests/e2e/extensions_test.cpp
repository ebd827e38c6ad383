// The GNU-style extensions on the bundled example: --help/--version, the
// Cobertura, lcov and JSON outputs and the one-line summary (their figures
// must equal the totals table CODE_COVERAGE.TXT, which the demo test checks
// against the example's description: functions 18/15, blocks 98/88, lines
// 90/79), the coverage gate, and specified outputs that stay byte-identical.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/harness.h"
#include "e2e/program_inputs.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

// Under the POSIX rules on every host: the JSON output escapes the '\' of a
// Windows name, which the name rule of the harness does not describe.
RunResult run_demo(const TempDir& dir, std::vector<std::string> extra, bool meter = false) {
  if (!file_exists(dir.file("demo")))
    place_demo(dir.file("demo"));
  std::vector<std::string> args = {"-spi", "demo/demo.spi", "-dpi", "demo/demo.dpi", "-srcroot",
                                   "demo", "-comp", "demo/demo.comp"};
  if (!meter) args.push_back("-nopmeter");
  args.insert(args.end(), extra.begin(), extra.end());
  return run_vorelcov(args, dir.path());
}

struct Figures {
  long total = -1, covered = -1;
  bool operator==(const Figures&) const = default;
};

// The "totals" object of the JSON summary.
Figures json_figure(const std::string& json, const std::string& key) {
  const std::string totals = json.substr(json.find("\"totals\""));
  std::smatch m;
  const std::regex re("\"" + key + R"(": \{"total": (\d+), "covered": (\d+))");
  if (!std::regex_search(totals, m, re)) return {};
  return {std::stol(m[1]), std::stol(m[2])};
}

// Sums of a tracefile's LF/LH or FNF/FNH lines, and its record count.
Figures lcov_sum(const std::string& info, const std::string& total_key,
                 const std::string& covered_key) {
  Figures f{0, 0};
  const std::regex re("^(" + total_key + "|" + covered_key + "):(\\d+)$", std::regex::multiline);
  for (auto it = std::sregex_iterator(info.begin(), info.end(), re); it != std::sregex_iterator();
       ++it)
    ((*it)[1] == total_key ? f.total : f.covered) += std::stol((*it)[2]);
  return f;
}

const Figures kLines{90, 79}, kFunctions{18, 15}, kBlocks{98, 88};

bool have_tool(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Whether a Cobertura file validates against docs/cobertura.rng.
bool cobertura_valid(const std::string& path) {
  const std::string cmd =
      "xmllint --noout --relaxng " + source_dir() + "/docs/cobertura.rng " + path + " 2>/dev/null";
  return std::system(cmd.c_str()) == 0;
}

TEST(Extensions, HelpAndVersionGoToStdoutWithStatus0) {
  TempDir dir;
  RunResult help = run_vorelcov({"-counts", "--help", "bogus"}, dir.path());
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(help.out.substr(0, expected_usage().size()), expected_usage());
  EXPECT_NE(help.out.find("   --fail-under-line <pct>"), std::string::npos);
  EXPECT_NE(help.out.find("3 coverage below a threshold"), std::string::npos);

  RunResult version = run_vorelcov({"--version"}, dir.path());
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.err, "");
  EXPECT_TRUE(std::regex_match(version.out, std::regex(R"(vorelcov \d+\.\d+\.\d+\n)")))
      << version.out;
}

// Every extension output of one -txtlcov run against its totals table.
TEST(Extensions, OutputsAgreeWithTheTotalsTable) {
  TempDir dir;
  RunResult r = run_demo(dir, {"-txtlcov", "--json-summary", "s.json", "--lcov", "t.info",
                               "--cobertura", "c.xml", "--summary"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, kScanDone);
  EXPECT_EQ(r.out, "lines: 87.78% (79 of 90), functions: 83.33% (15 of 18), blocks: 89.80% (88 of "
                   "98)\n");
  // The totals table itself is pinned byte for byte (the gate test below).
  EXPECT_EQ(dir.text("CODE_COVERAGE.TXT"), expected_file("demo/CODE_COVERAGE.TXT"));

  const std::string json = dir.text("s.json");
  EXPECT_EQ(json_figure(json, "lines"), kLines);
  EXPECT_EQ(json_figure(json, "functions"), kFunctions);
  EXPECT_EQ(json_figure(json, "blocks"), kBlocks);
  EXPECT_NE(json.find("{\"name\": \"demo/src/util.c\", \"lines\": {\"total\": 9, \"covered\": 5, "
                      "\"percent\": 55.56}, \"functions\": {\"total\": 3, \"covered\": 2, "
                      "\"percent\": 66.67}, \"blocks\": {\"total\": 8, \"covered\": 5, \"percent\": "
                      "62.50}}"),
            std::string::npos)
      << json;

  const std::string info = dir.text("t.info");
  EXPECT_EQ(lcov_sum(info, "LF", "LH"), kLines);
  EXPECT_EQ(lcov_sum(info, "FNF", "FNH"), kFunctions);
  EXPECT_NE(info.find("SF:" + std::filesystem::canonical(dir.path()).string() +
                      "/demo/src/util.c\n"),
            std::string::npos);

  const std::string xml = dir.text("c.xml");
  EXPECT_NE(xml.find("lines-covered=\"79\" lines-valid=\"90\""), std::string::npos);
  EXPECT_NE(xml.find("<class name=\"demo/src/util.c\" filename=\"demo/src/util.c\" "
                     "line-rate=\"0.5556\""),
            std::string::npos);
  if (have_tool("xmllint")) {
    EXPECT_TRUE(cobertura_valid(dir.file("c.xml")));
  }
}

// Totals 87.78 (lines), 83.33 (functions), 89.80 (blocks): a threshold at the
// shown percentage passes, one hundredth above it fails with status 3.
TEST(Extensions, GateAtJustAboveAndJustBelowTheThreshold) {
  for (const auto& row : expected_rows("gate.tsv")) {  // options, status, message
    SCOPED_TRACE(row[0]);
    TempDir dir;
    std::vector<std::string> args = words(row[0]);
    args.insert(args.begin(), "-txtlcov");
    RunResult r = run_demo(dir, args);
    const int status = std::stoi(row.at(1));
    const std::string err = row.size() > 2 ? row[2] + "\n" : "";
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(r.err, status == 1 ? err : kScanDone + err);
    // The gate acts after every output is complete.
    if (status != 1) {
      EXPECT_EQ(dir.text("CODE_COVERAGE.TXT"), expected_file("demo/CODE_COVERAGE.TXT"));
    }
  }
}

// Every file of a directory tree: relative name -> content.
void read_tree(const std::string& root, const std::string& prefix,
               std::map<std::string, std::string>& out) {
  for (const std::string& name : list_dir(root)) {
    const std::string path = root + "/" + name;
    if (name == "demo" || name == "ext.json") continue;
    if (std::filesystem::is_directory(path))
      read_tree(path, prefix + name + "/", out);
    else
      out[prefix + name] = *read_file(path);
  }
}

// The specified modes write the same bytes (files, stdout with the meter,
// stderr, status) with and without an extension output.
TEST(Extensions, SpecifiedOutputsStayByteIdentical) {
  const std::vector<std::vector<std::string>> modes = {
      {"-counts"},
      {"-txtbcvrgfull", "bf.txt", "-xmlbcvrgfull", "bf.xml"},
      {"-txtlcov", "-blockcounts"},
      {"-txtfcvrg", "f.txt", "-xmlfcvrg", "f.xml"},
      {"-txtbcvrg", "b.txt", "-xmlbcvrg", "b.xml", "-include-nonexec"},
      {"-txtdcg", "cg.txt"},
  };
  for (const auto& mode : modes) {
    SCOPED_TRACE(mode.front());
    std::map<std::string, std::string> trees[2];
    RunResult runs[2];
    for (int with = 0; with < 2; ++with) {
      TempDir dir;
      std::vector<std::string> args = mode;
      if (with) args.insert(args.end(), {"--json-summary", "ext.json"});
      runs[with] = run_demo(dir, args, true);
      read_tree(dir.path(), "", trees[with]);
      // The HTML mode computes the same figures from the same line maps.
      if (with && mode.front() == "-counts") {
        EXPECT_EQ(json_figure(dir.text("ext.json"), "lines"), kLines);
        EXPECT_EQ(json_figure(dir.text("ext.json"), "functions"), kFunctions);
      } else if (with) {
        EXPECT_TRUE(file_exists(dir.file("ext.json")));
      }
    }
    EXPECT_EQ(runs[0].status, 0);
    EXPECT_EQ(runs[1].status, runs[0].status);
    EXPECT_EQ(runs[1].out, runs[0].out);
    EXPECT_EQ(runs[1].err, runs[0].err);
    EXPECT_FALSE(trees[0].empty());
    EXPECT_TRUE(trees[1] == trees[0]);
  }
}

TEST(Extensions, BlockCountsWithoutLineCoverageWarns) {
  TempDir dir;
  RunResult r = run_demo(dir, {"-txtfcvrg", "f.txt", "-blockcounts"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "WARNING: option -blockcounts has no effect without -txtlcov.\n" + kScanDone);
}

// Names that XML cannot hold as they stand: markup characters, a control
// character, a Windows-1252 byte that is not UTF-8.
TEST(Extensions, CoberturaIsWellFormedForAnyName) {
  if (!have_tool("xmllint")) GTEST_SKIP() << "xmllint not installed";
  TempDir dir;
  const std::string name = "a&<b>\"\x01\x80.c";
  pw::Program p;
  p.modules.push_back(module(name, {pw::routine("f", 1, 2, {{1, 1, 3, {1, 2}}})}));
  write_inputs(dir, p, {{name, "int f(void)\n{ return 0; }\n"}});
  RunResult r = run_inputs(dir, {"--cobertura", "c.xml"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(dir.text("c.xml").find("a&amp;&lt;b&gt;&quot;\xEF\xBF\xBD\xE2\x82\xAC.c"),
            std::string::npos)
      << dir.text("c.xml");
  EXPECT_TRUE(cobertura_valid(dir.file("c.xml")));
}

}  // namespace
}  // namespace e2e
