// Opening the dynamic profile file from the command line: what a user sees
// for good, rejected and corrupt files.
#include <gtest/gtest.h>

#include "cli_expect.h"
#include "e2e/harness.h"
#include "profile_writer/dpi_writer.h"
#include "profile_writer/program.h"

namespace {

using namespace e2e;
using profile_writer::DpiLayout;

// Two routines "main" of two blocks under one lookup key.
profile_writer::Program program(uint32_t runs = 2) {
  profile_writer::Routine r = profile_writer::routine("main", 0, 0, {{0, 0, 4}, {}});
  profile_writer::Program p;
  p.runs = runs;
  p.modules = {{"", "m.obj", {{"/src/", "a.c", {r, r}}}}};
  return p;
}

TEST(DynamicProfileCli, EveryLayoutOpensAndTheStaticFileComesNext) {
  TempDir dir;
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    profile_writer::write_dpi(program(), dir.file("zentra.dpi"), layout);
    RunResult r = run_vorelcov({}, dir.path());
    EXPECT_EQ(r.status, 1);
    // Two routines under one key: one warning, then the run goes on. The
    // source root is the working directory; the fixed layout keeps its names.
    std::string file = layout == DpiLayout::kFixed ? "/src/a.c" : dir.path() + "/a.c";
    EXPECT_EQ(r.err, kScanDone + "vorelcov: warning #11014: Multiple profile entries in zentra.dpi "
                                 "match lookup key, main'" + file +
                         "'\nCouldn't find the spi file zentra.spi!\n")
        << static_cast<int>(layout);
  }
}

TEST(DynamicProfileCli, MultipleDefinitionsSwitchTheDuplicateCheckOff) {
  TempDir dir;
  profile_writer::write_dpi(program(), dir.file("app.dpi"), DpiLayout::kSegmented);
  RunResult r = run_vorelcov({"-dpi", "app.dpi", "-multiple-definitions"}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "Couldn't find the spi file zentra.spi!\n");
}

TEST(DynamicProfileCli, RejectedWalkEndsWithCouldNotFind) {
  TempDir dir;
  std::string bytes = profile_writer::dpi_image(program(), DpiLayout::kSegmented).bytes;
  write_file(dir.file("zentra.dpi"), bytes + profile_writer::segment(0x1234, "x"));
  RunResult r = run_vorelcov({"-multiple-definitions"}, dir.path());
  EXPECT_EQ(r.status, 1);
  char warning[160];
  std::snprintf(warning, sizeof warning,
                "vorelcov: warning #11010: File 'zentra.dpi' is corrupt. Unrecognized segment id, "
                "0x1234, at offset, 0x%zx.\n",
                bytes.size());
  EXPECT_EQ(r.err, kScanDone + warning + "Couldn't find the dpi file zentra.dpi!\n");
}

TEST(DynamicProfileCli, CorruptAndRunlessFilesEndWithTheirCatalogError) {
  TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(program(), DpiLayout::kSegmented);
  std::string corrupt = image.bytes;
  corrupt[image.record_pos[0] + 16] = '\x7F';  // block count far beyond the record
  corrupt[image.record_pos[0] + 19] = '\x7F';
  write_file(dir.file("corrupt.dpi"), corrupt);
  RunResult r = run_vorelcov({"-dpi", "corrupt.dpi"}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "vorelcov: error #11004: File 'corrupt.dpi' is corrupt.\n");

  profile_writer::write_dpi(program(0), dir.file("runless.dpi"), DpiLayout::kFixed);
  r = run_vorelcov({"-dpi", "runless.dpi"}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "vorelcov: error #11016: runless.dpi records no program runs; its "
                               "execution counts cannot be used. Rerun the instrumented program.\n");

  write_file(dir.file("text.dpi"), std::string(600, 'x'));
  r = run_vorelcov({"-dpi", "text.dpi"}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "vorelcov: warning #11007: text.dpi has unrecognized dpi file header, "
                               "ignored.\nvorelcov: error #11008: Can't read .dpi file, text.dpi\n");
}

TEST(DynamicProfileCli, ReferenceFileIsOpenedLikeTheDynamicOne) {
  TempDir dir;
  profile_writer::write_dpi(program(), dir.file("zentra.dpi"), DpiLayout::kSegmentedToc);
  RunResult r = run_vorelcov({"-ref", "missing.dpi", "-multiple-definitions"}, dir.path());
  EXPECT_EQ(r.status, 1);
  // The static file is opened between the two dynamic files.
  EXPECT_NE(r.err.find("Couldn't find the spi file zentra.spi!\n"), std::string::npos) << r.err;
}

}  // namespace
