#include "report/display_name.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(DisplayName, BaseNameWithoutShowDirNames) {
  EXPECT_EQ(display_name("/src/app/main.c", false, "", '/'), "main.c");
  EXPECT_EQ(display_name("main.c", false, "", '/'), "main.c");
  EXPECT_EQ(display_name("C:\\SRC\\A.C", false, "", '\\'), "A.C");
  // The root does not matter without -showdirnames.
  EXPECT_EQ(display_name("/src/app/main.c", false, "/src/", '/'), "main.c");
}

TEST(DisplayName, ShowDirNamesDropsOnlyAUserRoot) {
  EXPECT_EQ(display_name("/src/app/main.c", true, "/src/", '/'), "app/main.c");
  EXPECT_EQ(display_name("/other/main.c", true, "/src/", '/'), "/other/main.c");
  EXPECT_EQ(display_name("/src/app/main.c", true, "", '/'), "/src/app/main.c");
}

}  // namespace
}  // namespace vorel
