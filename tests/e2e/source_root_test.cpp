// Source-root settlement as the user sees it: the too-long warning comes after
// the scan and the run goes on. Precedence and the working directory are
// tabled in tests/unit/driver/source_root_test.cpp.
#include <gtest/gtest.h>

#include "cli_expect.h"
#include "e2e/harness.h"

namespace e2e {
namespace {

TEST(SourceRootCli, TooLongEnvironmentValueLosesItsQuotes) {
  TempDir dir;
  std::string root = "/" + std::string(300, 'e');
  RunResult r = run_vorelcov({}, dir.path(), {{"VOREL_PROF_SRC_ROOT", "\"" + root + "\""}, kHostsOwnRules[0]});
  EXPECT_EQ(r.err, kScanDone + "vorelcov: warning #11001: Replacement using source root directory for '" +
                       host_name(root) + "' is too long. Will not update root directory.\n" +
                       "Couldn't find the dpi file zentra.dpi!\n");
}

}  // namespace
}  // namespace e2e
