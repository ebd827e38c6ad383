// Source-root settlement as the user sees it: the too-long warning.
#include <gtest/gtest.h>

#include <filesystem>

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
  RunResult r = run_vorelcov({"-srcroot", root}, dir.path());
  EXPECT_EQ(r.status, 1);
  std::string normalised = "/" + std::string(150, 'a') + "/" + std::string(150, 'b') + "/";
  EXPECT_EQ(r.err, kScanDone + too_long_warning(normalised) + kNoDpi);
}

TEST(SourceRootCli, TooLongEnvironmentValueLosesItsQuotes) {
  TempDir dir;
  std::string root = "/" + std::string(300, 'e');
  RunResult r = run_vorelcov({}, dir.path(), {{"VOREL_PROF_SRC_ROOT", "\"" + root + "\""}});
  EXPECT_EQ(r.err, kScanDone + too_long_warning(root) + kNoDpi);
}

TEST(SourceRootCli, OptionWinsOverTheEnvironment) {
  TempDir dir;
  RunResult r = run_vorelcov({"-srcroot", "/src"}, dir.path(),
                             {{"VOREL_PROF_SRC_ROOT", "/" + std::string(300, 'e')}});
  EXPECT_EQ(r.err, kScanDone + kNoDpi);
}

TEST(SourceRootCli, LongWorkingDirectoryIsDroppedSilently) {
  TempDir dir;
  std::string deep = dir.path();
  while (deep.size() < 300) deep += "/" + std::string(40, 'd');
  std::filesystem::create_directories(deep);
  RunResult r = run_vorelcov({}, deep);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + kNoDpi);
}

}  // namespace
}  // namespace e2e
