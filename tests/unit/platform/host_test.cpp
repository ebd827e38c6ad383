#include "platform/host.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

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

}  // namespace
}  // namespace vorel
