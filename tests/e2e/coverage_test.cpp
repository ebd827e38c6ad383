// The coverage pass from the command line: component files, markers, missing
// sources and the per-file traces, as a user sees them.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_expect.h"
#include "e2e/harness.h"
#include "profile_writer/program.h"

namespace {

using namespace e2e;
namespace pw = profile_writer;

// A routine of one block at its first line.
pw::Routine routine(const std::string& name, uint32_t start, uint32_t end, uint64_t count) {
  return pw::routine(name, start, end, {{start, 1, count, {start}}});
}

// Writes zentra.spi and zentra.dpi for files stored under the root "/build/",
// which the readers replace by the working directory.
void write_profiles(const TempDir& dir, const std::vector<pw::SourceFile>& files) {
  pw::Program p;
  p.modules.push_back(pw::Module{"/build/", "app.o", files});
  pw::write_spi(p, dir.file("zentra.spi"), pw::SpiLayout::kTextV8);
  pw::write_dpi(p, dir.file("zentra.dpi"), pw::DpiLayout::kSegmented);
}

pw::SourceFile source(const std::string& name, std::vector<pw::Routine> routines) {
  return pw::SourceFile{"/build/", name, std::move(routines)};
}

class CoverageCli : public ::testing::Test {
 protected:
  void SetUp() override {
    write_file(dir.file("a.c"), "int f() {\n  return 1;\n}\nint g() {\n  return 2;\n}\n");
    write_profiles(dir, {source("a.c", {routine("f", 1, 3, 5), routine("g", 4, 6, 0)})});
  }
  RunResult run(std::vector<std::string> args) {
    args.insert(args.begin(), {"-nohtml", "-nopmeter"});
    return run_vorelcov(args, dir.path(), kHostsOwnRules);
  }
  // A source name as the run shows it.
  std::string shown(const std::string& name) const { return host_name(dir.file(name)); }
  std::string a() const { return shown("a.c"); }

  TempDir dir;
};

TEST_F(CoverageCli, MissingSourceIsSkippedWithAWarning) {
  write_profiles(dir, {source("a.c", {routine("f", 1, 3, 5)}),
                       source("gone.c", {routine("h", 1, 2, 1)})});
  RunResult r = run({"-trace", "1", "-txtbcvrgfull", "full.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\nWarning - File " + shown("gone.c") + " not found!\n");
  // The full list keeps the skipped file's group, empty.
  EXPECT_EQ(dir.text("full.txt"), "file - \"" + a() + "\"\nfunction - f\t5\t1\t1\t100.00\n"
                                  "1\t1\t1\t           5\n\nfile - \"" + shown("gone.c") + "\"\n\n");
  // The missing file starts its pass but never reaches the end of it.
  EXPECT_EQ(r.err, kScanDone + "Begin markBlocks for file: " + a() + "\n"
                               "End markBlocks for file:   " + a() + "\n"
                               "Begin markBlocks for file: " + shown("gone.c") + "\n");
}

TEST_F(CoverageCli, ComponentFileNarrowsTheReportToFilesOfInterest) {
  std::filesystem::create_directory(dir.file("lib"));
  write_file(dir.file("lib/b.c"), "void b() {}\n");
  write_file(dir.file("lib/test_b.c"), "void t() {}\n");
  write_profiles(dir, {source("a.c", {routine("f", 1, 3, 5)}),
                       source("lib/b.c", {routine("b", 1, 1, 1)}),
                       source("lib/test_b.c", {routine("t", 1, 1, 1)})});
  // (the temporary directory's own name holds "test", so the exclusion is narrower)
  write_file(dir.file("comp.txt"), "lib/\n~/test_\n");
  RunResult r = run({"-comp", "comp.txt", "-trace", "1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kScanDone + "Begin markBlocks for file: " + shown("lib/b.c") + "\n"
                               "End markBlocks for file:   " + shown("lib/b.c") + "\n");
}

// Rows: the component file's text, the message.
TEST_F(CoverageCli, ComponentFileErrorsEndTheRun) {
  for (const auto& row : expected_rows("component_file_errors.tsv")) {
    write_file(dir.file("comp.txt"), row[0]);
    RunResult r = run({"-comp", "comp.txt"});
    EXPECT_EQ(r.status, 1) << row[0];
    EXPECT_EQ(r.err, kScanDone + row.at(1) + "\n");
  }
  RunResult missing = run({"-comp", "nope.txt"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, kScanDone + "ERROR: Couldn't open the component file nope.txt\n");
}

TEST_F(CoverageCli, MarkerUsedTwiceIsAConflict) {
  RunResult r = run({"-onelinedsbl", "X", "-beginblkdsbl", "X", "-endblkdsbl", "Y"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "ERROR: same comment X specified for one-line infiseable and "
                               "start infeasible block\n");
  RunResult end = run({"-onelinedsbl", "X", "-endblkdsbl", "X", "-beginblkdsbl", "Y"});
  EXPECT_EQ(end.err, kScanDone + "ERROR: same comment X specified for one-line infiseable and end "
                                 "infeasible block\n");
  // Markers of the component file take part in the check too.
  write_file(dir.file("comp.txt"), "END_NOTFEASIBLE: \"B\"\n");
  RunResult mixed = run({"-comp", "comp.txt", "-beginblkdsbl", "B"});
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(mixed.err, kScanDone + "ERROR: same comment B specified for end infiseable block "
                                   "and start infeasible block\n");
}

TEST_F(CoverageCli, UnmatchedEndMarkerIsWarnedAndTheRunGoesOn) {
  write_file(dir.file("a.c"), "int f() {\n  return 1; // END\n}\nint g() {\n  return 2;\n}\n");
  RunResult r = run({"-beginblkdsbl", "BEGIN", "-endblkdsbl", "END"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kScanDone + "WARNING: An ending marker in file " + a() +
                       ", line 2 doesn't match any begining marker. Ignored\n");
}

// A routine that starts on a marked line is not computed; a block on one
// leaves the function's figures and block list.
TEST_F(CoverageCli, RoutinesAndBlocksOnInfeasibleLines) {
  write_file(dir.file("a.c"), "int f() {\n  return 1; // NF\n}\nint g() { // NF\n  return 2;\n}\n");
  write_profiles(dir, {source("a.c", {pw::routine("f", 1, 3, {{1, 1, 5, {1}}, {2, 3, 5, {2}}}),
                                      routine("g", 4, 6, 0)})});
  RunResult r = run({"-onelinedsbl", "NF", "-trace", "2", "-txtbcvrgfull", "full.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kScanDone + "Function: f. Executed = t\n");
  EXPECT_EQ(dir.text("full.txt"),
            "file - \"" + a() + "\"\nfunction - f\t5\t1\t1\t100.00\n1\t1\t1\t           5\n\n");
}

TEST_F(CoverageCli, MalformedRoutineRecordEndsTheRun) {
  // The routine record's last field made unreadable, the file length kept.
  std::string spi = *read_file(dir.file("zentra.spi"));
  size_t record = spi.find("\r\n01 ") + 2;
  size_t last_field = spi.find("\r\n", record) - 8;
  spi.replace(last_field, 8, "zzzzzzzz");
  write_file(dir.file("zentra.spi"), spi);
  RunResult r = run({});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "ERROR: corrupt SPI file zentra.spi\n");
}

}  // namespace
