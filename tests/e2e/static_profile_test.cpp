// Opening the static profile file as the user sees it: a file too old for
// -txtlcov, a corrupt mapping section, a file that is not a static profile.
// The dynamic profile file, opened first, holds no routines.
#include <gtest/gtest.h>

#include "cli_expect.h"
#include "e2e/harness.h"
#include "profile_writer/program.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

std::string version6_file(const TempDir& dir) {
  pw::Program p;
  p.modules = {{"", "main.c", {{"", "main.c", {pw::routine("main", 1, 1, {{}})}}}}};
  pw::write_spi(p, dir.file("app.spi"), pw::SpiLayout::kTextV6);
  return *read_file(dir.file("app.spi"));
}

TEST(StaticProfileE2e, RejectedStaticFiles) {
  struct Case {
    std::string (*spi)(const TempDir&);
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {version6_file, {"-txtlcov"},
       "ERROR: app.spi has old version file format which does not support -txtlcov option. "
       "Delete file and redo instrumentation compilation.\n"},
      {version6_file, {"--lcov", "t.info"},
       "ERROR: app.spi has an old version file format without source line information; "
       "option --lcov needs format 7 or later.\n"},
      {[](const TempDir&) { return std::string("V070000000d\r\n<H>\r\n<R1>1\r\n1 f\r\n"); },  // no "</H>"
       {}, "vorelcov: error #11004: File 'app.spi' is corrupt.\n"},
      {[](const TempDir&) { return std::string("<H>\n</H>\n"); }, {},
       "ERROR: app.spi is not a spi file: its first line is no version line (\"V\" and two "
       "digits).\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    write_file(dir.file("app.spi"), c.spi(dir));
    pw::write_dpi(pw::Program{}, dir.file("app.dpi"), pw::DpiLayout::kFixed);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-spi", "app.spi", "-dpi", "app.dpi"});
    RunResult r = run_vorelcov(args, dir.path(), kHostsOwnRules);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kScanDone + c.err);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace e2e
