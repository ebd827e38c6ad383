// Opening the static profile file as the user sees it: a file too old for
// -txtlcov, a corrupt mapping section, a file that is not a static profile.
//
// The dynamic profile file is opened first; these runs use an empty one (the
// 528-byte fixed header, no routines). Until the dynamic reader is built the
// driver stops at it, and the tests are skipped.
#include <gtest/gtest.h>

#include "cli_expect.h"
#include "e2e/harness.h"
#include "profile_writer/program.h"

namespace e2e {
namespace {

void write_empty_dpi(const std::string& path) {
  std::string bytes;
  profile_writer::put_u32(bytes, 0xDC0B);  // magic
  profile_writer::put_u32(bytes, 1);       // runs
  profile_writer::put_u32(bytes, 0);       // routines
  profile_writer::put_u32(bytes, 0);       // header value
  bytes.append(512, '\0');                 // header string
  write_file(path, bytes);
}

profile_writer::Program one_routine() {
  profile_writer::Routine r;
  r.name = "main";
  r.start_line = 1;
  r.blocks.resize(1);
  profile_writer::Program p;
  p.modules = {{"", "main.c", {{"", "main.c", {r}}}}};
  return p;
}

RunResult run_in(const TempDir& dir, std::vector<std::string> args) {
  write_empty_dpi(dir.file("app.dpi"));
  args.insert(args.end(), {"-spi", "app.spi", "-dpi", "app.dpi"});
  return run_vorelcov(args, dir.path());
}

#define SKIP_WITHOUT_DYNAMIC_READER(r)                                               \
  if ((r).err.find("not implemented yet: dynamic profile reader") != std::string::npos) \
  GTEST_SKIP() << "the dynamic profile reader is not built yet"

TEST(StaticProfileE2e, LineCoverageNeedsVersion7) {
  TempDir dir;
  profile_writer::write_spi(one_routine(), dir.file("app.spi"), profile_writer::SpiLayout::kTextV6);
  RunResult r = run_in(dir, {"-txtlcov"});
  SKIP_WITHOUT_DYNAMIC_READER(r);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone +
                       "ERROR: app.spi has old version file format which does not support -txtlcov "
                       "option. Delete file and redo instrumentation compilation.\n");
  EXPECT_EQ(r.out, "");
}

TEST(StaticProfileE2e, CorruptMappingSectionEndsTheRun) {
  TempDir dir;
  write_file(dir.file("app.spi"), "V070000000d\r\n<H>\r\n<R1>1\r\n1 f\r\n");  // no "</H>"
  RunResult r = run_in(dir, {});
  SKIP_WITHOUT_DYNAMIC_READER(r);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "vorelcov: error #11004: File 'app.spi' is corrupt.\n");
}

TEST(StaticProfileE2e, AFileNotStartingWithVIsNotFound) {
  TempDir dir;
  write_file(dir.file("app.spi"), "<H>\n</H>\n");
  RunResult r = run_in(dir, {});
  SKIP_WITHOUT_DYNAMIC_READER(r);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "Couldn't find the spi file app.spi!\n");
}

}  // namespace
}  // namespace e2e
