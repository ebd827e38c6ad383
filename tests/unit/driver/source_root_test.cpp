#include "driver/source_root.h"

#include <gtest/gtest.h>

#include "capture.h"

namespace vorel {
namespace {

const HostRules kWin = windows_rules();
const HostRules kPosix = posix_rules();

// Option before environment before working directory; quotes around the
// environment value are removed (a pair only); the root is normalised and
// ends in a separator; an empty value gives an empty root; a root of 260
// bytes or more after normalisation is refused with a warning, a working
// directory that long silently.
TEST(SourceRoot, Settlement) {
  const std::string a258 = "/" + std::string(257, 'a'), a259 = a258 + "a", a260 = a259 + "a";
  const std::string c260 = "/" + std::string(259, 'c');
  using O = std::optional<std::string>;
  struct Case {
    const HostRules& rules;
    O option, env, cwd;
    std::string root;
    bool warned = false;
  } cases[] = {
      {kWin, {}, {}, "c:\\work\\proj", "C:\\WORK\\PROJ\\"},
      {kPosix, {}, {}, "/", "/"},
      {kPosix, {}, {}, {}, ""},  // unreadable working directory
      {kPosix, "/opt", "/env", "/cwd", "/opt/"},
      {kPosix, {}, "/env", "/cwd", "/env/"},
      {kPosix, {}, "", "/cwd", ""},
      {kWin, {}, "\"\"", "c:\\cwd", ""},
      {kPosix, "", "/env", "/cwd", ""},
      {kWin, {}, "\"c:/my src/./a/../b\"", {}, "C:\\MY SRC\\B\\"},
      {kPosix, {}, "\"/a", {}, "\"/a/"},
      {kPosix, {}, "\"", {}, "\"/"},
      {kWin, "c:\\proj\\", {}, {}, "C:\\PROJ\\"},
      {kPosix, ".", {}, {}, "./"},  // the current directory, not the file-system root
      {kWin, ".\\", {}, {}, ".\\"},
      {kPosix, a259, {}, {}, a259 + "/"},
      {kPosix, a258 + "/x/..", {}, {}, a258 + "/"},
      {kPosix, a260, {}, {}, "", true},
      {kPosix, {}, {}, c260, ""},
      {kPosix, {}, {}, c260.substr(0, 259), c260.substr(0, 259) + "/"},
  };
  for (const Case& c : cases) {
    std::string root;
    auto io = test_support::capture(
        [&] { root = settle_source_root(c.rules, SourceRootInputs{c.option, c.env, c.cwd}); });
    EXPECT_EQ(root, c.root) << c.option.value_or("-") << " " << c.env.value_or("-");
    EXPECT_EQ(io.err, c.warned ? "vorelcov: warning #11001: Replacement using source root directory for '" +
                                     a260 + "' is too long. Will not update root directory.\n"
                               : "");
  }
}

}  // namespace
}  // namespace vorel
