#include "platform/host.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(HostRules, NormalisePathFoldsOnlyOnWindows) {
  // The tests run on a POSIX host, or with VORELCOV_HOST_RULES=posix.
  EXPECT_EQ(host_rules().separator, '/');
  EXPECT_EQ(normalise_path(windows_rules(), "c:/Src/main.c"), "C:\\SRC\\MAIN.C");
  EXPECT_EQ(normalise_path(posix_rules(), "/Src/main.c"), "/Src/main.c");
}

// Windows: upper case, '\' for '/', doubled separators and "." removed, ".."
// resolved with the component before it; what cannot be resolved keeps the
// unified text.
TEST(NormaliseRoot, Windows) {
  const std::pair<const char*, const char*> cases[] = {
      {"c://work\\\\src\\", "C:\\WORK\\SRC\\"},
      {"c:\\a.b\\c", "C:\\A.B\\C"},  // a dot inside a name is kept
      {"c:/a/./b/../c", "C:\\A\\C"},
      {".\\a", "A"},
      {"c:./a", "C:A"},  // '.' right after a drive prefix
      {"\\a\\..\\b", "\\B"},
      {"c:/a/.", "C:\\A\\"},
      {"c:/a/b/..", "C:\\A\\"},
      {"c:/a/b.", "C:\\A\\B."},
      {"..", ".."},
      {"foo/..", "FOO\\.."},  // no separator left before the removed component
      {"\\..", "\\.."},
      {"../a", "..\\A"},                       // nothing before it
      {"c:/a/../../b", "C:\\A\\..\\..\\B"},    // climbs above the drive
      {"x/b/../c", "X\\B\\..\\C"},             // exactly two characters would remain
      {"a../b", "A..\\B"},                     // not a component start
      {"a/.../b", "A\\...\\B"},
      {"", ""},
  };
  for (const auto& [root, normal] : cases) EXPECT_EQ(normalise_root(windows_rules(), root), normal) << root;
}

// POSIX: case kept, only '/' separates; backslashes and drives are ordinary.
TEST(NormaliseRoot, Posix) {
  const std::pair<const char*, const char*> cases[] = {
      {"/Home/./x/../y", "/Home/y"}, {"//a//b/", "/a/b/"}, {"/a/b/..", "/a/"},
      {"/a/.", "/a/"},               {"./src", "src"},       {"/a/../b", "/b"},
      {"a\\b/./c", "a\\b/c"},        {"a\\\\b", "a\\\\b"},   {"c:./a", "c:./a"},
      {"a\\..\\b", "a\\..\\b"},      {"", ""},
  };
  for (const auto& [root, normal] : cases) EXPECT_EQ(normalise_root(posix_rules(), root), normal) << root;
}

}  // namespace
}  // namespace vorel
