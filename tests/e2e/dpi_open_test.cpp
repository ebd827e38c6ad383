// Opening the dynamic profile file from the command line: what a user sees
// for good, rejected and corrupt files. None of these runs has a static
// profile file, so a dynamic file that opens ends in "Couldn't find the spi
// file".
#include <gtest/gtest.h>

#include "cli_expect.h"
#include "profile_writer/dpi_writer.h"
#include "profile_writer/program.h"

namespace {

using namespace e2e;
using profile_writer::DpiLayout;
using profile_writer::dpi_image;

// Two routines "main" of two blocks under one lookup key.
profile_writer::Program program(uint32_t runs = 2) {
  profile_writer::Routine r = profile_writer::routine("main", 0, 0, {{0, 0, 4}, {}});
  profile_writer::Program p;
  p.runs = runs;
  p.modules = {{"", "m.obj", {{"/src/", "a.c", {r, r}}}}};
  return p;
}

TEST(DynamicProfileCli, GoodRejectedAndCorruptFiles) {
  TempDir dir;
  const std::string no_spi = "Couldn't find the spi file zentra.spi!\n";
  // Two routines under one key: one warning, then the run goes on. The
  // source root is the working directory; the fixed layout keeps its names.
  const std::string duplicate =
      "vorelcov: warning #11014: Multiple profile entries in zentra.dpi match lookup key, main'";
  const profile_writer::DpiImage image = dpi_image(program(), DpiLayout::kSegmented);
  std::string corrupt = image.bytes;
  corrupt[image.record_pos[0] + 16] = '\x7F';  // block count far beyond the record
  corrupt[image.record_pos[0] + 19] = '\x7F';
  char offset[32];
  std::snprintf(offset, sizeof offset, "0x%zx", image.bytes.size());
  const struct {
    std::string bytes;
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {dpi_image(program(), DpiLayout::kFixed).bytes, {}, duplicate + host_name("/src/a.c") + "'\n" + no_spi},
      {image.bytes, {}, duplicate + host_name(dir.path() + "/a.c") + "'\n" + no_spi},
      {dpi_image(program(), DpiLayout::kSegmentedToc).bytes, {},
       duplicate + host_name(dir.path() + "/a.c") + "'\n" + no_spi},
      {image.bytes, {"-multiple-definitions"}, no_spi},
      // The reference file is opened after the static one.
      {image.bytes, {"-ref", "missing.dpi", "-multiple-definitions"}, no_spi},
      {image.bytes + profile_writer::segment(0x1234, "x"), {"-multiple-definitions"},
       "vorelcov: warning #11010: File 'zentra.dpi' is corrupt. Unrecognized segment id, 0x1234, at "
       "offset, " + std::string(offset) + ".\nCouldn't find the dpi file zentra.dpi!\n"},
      {corrupt, {}, "vorelcov: error #11004: File 'zentra.dpi' is corrupt.\n"},
      {dpi_image(program(0), DpiLayout::kFixed).bytes, {},
       "vorelcov: error #11016: zentra.dpi records no program runs; its execution counts cannot be "
       "used. Rerun the instrumented program.\n"},
      {std::string(600, 'x'), {},
       "vorelcov: warning #11007: zentra.dpi has unrecognized dpi file header, ignored.\n"
       "vorelcov: error #11008: Can't read .dpi file, zentra.dpi\n"},
  };
  for (const auto& c : cases) {
    write_file(dir.file("zentra.dpi"), c.bytes);
    RunResult r = run_vorelcov(c.args, dir.path(), kHostsOwnRules);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kScanDone + c.err);
  }
}

}  // namespace
