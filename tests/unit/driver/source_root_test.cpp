#include "driver/source_root.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

std::string settle(const HostRules& rules, std::optional<std::string> option,
                   std::optional<std::string> env, std::optional<std::string> cwd,
                   std::string* err = nullptr) {
  testing::internal::CaptureStderr();
  std::string root = settle_source_root(rules, SourceRootInputs{option, env, cwd});
  std::string text = testing::internal::GetCapturedStderr();
  if (err) *err = text;
  else EXPECT_EQ(text, "");
  return root;
}

const HostRules kWin = windows_rules();
const HostRules kPosix = posix_rules();

TEST(SourceRoot, WorkingDirectoryByDefault) {
  EXPECT_EQ(settle(kWin, {}, {}, "c:\\work\\proj"), "C:\\WORK\\PROJ\\");
  EXPECT_EQ(settle(kPosix, {}, {}, "/work/Proj"), "/work/Proj/");
  EXPECT_EQ(settle(kPosix, {}, {}, "/"), "/");
  EXPECT_EQ(settle(kPosix, {}, {}, std::nullopt), "");  // unreadable working directory
}

TEST(SourceRoot, OptionBeforeEnvironmentBeforeWorkingDirectory) {
  EXPECT_EQ(settle(kPosix, "/opt", "/env", "/cwd"), "/opt/");
  EXPECT_EQ(settle(kPosix, {}, "/env", "/cwd"), "/env/");
}

TEST(SourceRoot, EmptyEnvironmentValueGivesAnEmptyRoot) {
  EXPECT_EQ(settle(kPosix, {}, "", "/cwd"), "");
  EXPECT_EQ(settle(kWin, {}, "\"\"", "c:\\cwd"), "");
}

TEST(SourceRoot, EmptyOptionGivesAnEmptyRoot) { EXPECT_EQ(settle(kPosix, "", "/env", "/cwd"), ""); }

TEST(SourceRoot, QuotesAroundTheEnvironmentValueAreRemoved) {
  EXPECT_EQ(settle(kWin, {}, "\"c:/my src/./a/../b\"", {}), "C:\\MY SRC\\B\\");
  EXPECT_EQ(settle(kPosix, {}, "\"/my src\"", {}), "/my src/");
  // Only a pair counts: one quote alone is an ordinary character.
  EXPECT_EQ(settle(kPosix, {}, "\"/a", {}), "\"/a/");
  EXPECT_EQ(settle(kPosix, {}, "\"", {}), "\"/");
}

TEST(SourceRoot, OptionIsNormalisedWithAFinalSeparator) {
  EXPECT_EQ(settle(kWin, "c:/proj/./src/../lib", {}, {}), "C:\\PROJ\\LIB\\");
  EXPECT_EQ(settle(kWin, "c:\\proj\\", {}, {}), "C:\\PROJ\\");
  EXPECT_EQ(settle(kPosix, "/proj//src/", {}, {}), "/proj/src/");
}

TEST(SourceRoot, DotAloneNamesTheCurrentDirectoryNotTheFileSystemRoot) {
  EXPECT_EQ(settle(kPosix, ".", {}, {}), "./");
  EXPECT_EQ(settle(kWin, ".\\", {}, {}), ".\\");
}

TEST(SourceRoot, TooLongRootIsRefusedWithAWarning) {
  std::string err;
  std::string root259 = "/" + std::string(258, 'a');
  EXPECT_EQ(settle(kPosix, root259, {}, {}), root259 + "/");
  std::string root260 = "/" + std::string(259, 'a');
  EXPECT_EQ(settle(kPosix, root260, {}, {}, &err), "");
  EXPECT_EQ(err, "vorelcov: warning #11001: Replacement using source root directory for '" +
                     root260 + "' is too long. Will not update root directory.\n");
  // The length counts after normalisation.
  std::string root258 = root259.substr(0, 258);
  EXPECT_EQ(settle(kPosix, root258 + "/x/..", {}, {}), root258 + "/");
}

TEST(SourceRoot, LongWorkingDirectoryGivesAnEmptyRootSilently) {
  std::string cwd = "/" + std::string(259, 'c');
  EXPECT_EQ(settle(kPosix, {}, {}, cwd), "");
  EXPECT_EQ(settle(kPosix, {}, {}, cwd.substr(0, 259)), cwd.substr(0, 259) + "/");
}

}  // namespace
}  // namespace vorel
