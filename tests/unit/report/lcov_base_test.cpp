#include <gtest/gtest.h>

#include "report/extension_outputs.h"

TEST(LcovBase, OneSeparatorBetweenDirectoryAndName) {  // SF: of an imported profile
  EXPECT_EQ(vorel::absolute_from_base("src/a.c", "/proj") + vorel::absolute_from_base("a.c", "/"), "/proj/src/a.c/a.c");
}
