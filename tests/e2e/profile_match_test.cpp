// A dynamic profile (or -ref) of another program matches few routines of
// the static profile: the run says so once per file, and otherwise goes on
// as before. A file of a partial program or a filtered list is no alarm.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_expect.h"
#include "e2e/program_inputs.h"

namespace e2e {
namespace {

namespace pw = profile_writer;

pw::Program program(const std::vector<std::string>& names) {
  std::vector<pw::Routine> routines;
  uint32_t line = 1;
  for (const std::string& name : names) {
    routines.push_back(pw::routine(name, line, line, {{line, 1, 1, {line}}}));
    ++line;
  }
  pw::Program p;
  p.modules = {module("m.c", routines)};
  return p;
}

TEST(ProfileMatch, UnrelatedDynamicProfilesDrawOneWarning) {
  TempDir dir;
  write_inputs(dir, program({"f1", "f2", "f3", "f4"}), {{"m.c", "1\n2\n3\n4\n"}});
  pw::write_dpi(program({"g1", "g2", "g3", "f4"}), dir.file("other.dpi"), pw::DpiLayout::kSegmentedToc);
  pw::write_dpi(program({"f2"}), dir.file("part.dpi"), pw::DpiLayout::kSegmentedToc);
  auto warning = [](const std::string& dpi) {
    return "WARNING: only 1 of the 4 routines of t.spi have a record in " + dpi +
           ", which holds 4; the two files may come from different builds.\n";
  };
  struct Case {
    std::vector<std::string> args;
    std::string err;  // after the banner
  } cases[] = {
      {{"-dpi", "t.dpi"}, ""},
      {{"-dpi", "part.dpi"}, ""},
      {{"-dpi", "other.dpi"}, warning("other.dpi")},
      {{"-dpi", "t.dpi", "-ref", "other.dpi"}, warning("other.dpi")},
      {{"-dpi", "other.dpi", "-ref", "other.dpi"}, warning("other.dpi") + warning("other.dpi")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    std::vector<std::string> args = {"-spi", "t.spi", "-srcroot", "src", "-nopmeter", "-txtfcvrg", "f.txt"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    RunResult r = run_vorelcov(args, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, kScanDone + c.err);
  }
}

}  // namespace
}  // namespace e2e
