// The lcov tracefile's SF: of an imported profile is the source directory +
// the root-relative name, one separator between them even at the root.
#include <gtest/gtest.h>

#include "report/extension_outputs.h"

TEST(LcovBase, OneSeparatorBetweenDirectoryAndName) {
  EXPECT_EQ(vorel::absolute_from_base("src/a.c", "/proj"), "/proj/src/a.c");
  EXPECT_EQ(vorel::absolute_from_base("tmp/a.c", "/"), "/tmp/a.c");
  EXPECT_EQ(vorel::absolute_from_base("a.c", "C:\\"), "C:\\a.c");
  EXPECT_EQ(vorel::absolute_from_base("/usr/x.h", "/proj"), "/usr/x.h");
}
