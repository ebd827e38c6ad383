// Source-root settlement as the user sees it: the too-long warning comes after
// the scan and the run goes on. Precedence and the working directory are
// tabled in tests/unit/driver/source_root_test.cpp.
#include <gtest/gtest.h>

#include "cli_expect.h"
#include "e2e/harness.h"

namespace e2e {
namespace {

const std::string kNoDpi = "Couldn't find the dpi file zentra.dpi!\n";

std::string too_long_warning(const std::string& root) {
  return "vorelcov: warning #11001: Replacement using source root directory for '" + root +
         "' is too long. Will not update root directory.\n";
}

TEST(SourceRootCli, TooLongOptionIsRefusedAndTheRunGoesOn) {
  TempDir dir;
  std::string root = "/" + std::string(150, 'a') + "/./" + std::string(150, 'b') + "//";
  RunResult r = run_vorelcov({"-srcroot", root}, dir.path(), kHostsOwnRules);
  EXPECT_EQ(r.status, 1);
  std::string normalised = "/" + std::string(150, 'a') + "/" + std::string(150, 'b') + "/";
  EXPECT_EQ(r.err, kScanDone + too_long_warning(host_name(normalised)) + kNoDpi);
}

TEST(SourceRootCli, TooLongEnvironmentValueLosesItsQuotes) {
  TempDir dir;
  std::string root = "/" + std::string(300, 'e');
  RunResult r = run_vorelcov({}, dir.path(), {{"VOREL_PROF_SRC_ROOT", "\"" + root + "\""}, kHostsOwnRules[0]});
  EXPECT_EQ(r.err, kScanDone + too_long_warning(host_name(root)) + kNoDpi);
}

}  // namespace
}  // namespace e2e
