// Display names of source files and the page names of the Windows host (the
// POSIX names are pinned by the end-to-end tests).
#include "report/display_name.h"

#include <gtest/gtest.h>

#include "report/page_names.h"

namespace vorel {
namespace {

TEST(DisplayName, BaseNameOrPathBelowAUserRoot) {
  EXPECT_EQ(display_name("C:\\SRC\\A.C", false, "", '\\'), "A.C");
  EXPECT_EQ(display_name("/src/app/main.c", false, "/src/", '/'), "main.c");
  EXPECT_EQ(display_name("/src/app/main.c", true, "/src/", '/'), "app/main.c");
  EXPECT_EQ(display_name("/other/main.c", true, "/src/", '/'), "/other/main.c");
  EXPECT_EQ(display_name("/src/app/main.c", true, "", '/'), "/src/app/main.c");
}

TEST(PageNames, WindowsSeparator) {
  const std::string path = "c:\\work\\src\\main.cpp";
  EXPECT_EQ(dir_name(path, "html", '\\'), "CodeCoverage\\C__WORK_SRC_MAIN_CPP.HTML");
  EXPECT_EQ(source_view_name(path, "html", '\\'), "CodeCoverage\\C__WORK_SRC_MAIN_CPP_SRC.HTML");
  EXPECT_EQ(numbered_dir_name(path + "_CvrdFncs", 4, "html", '\\'),
            "CodeCoverage\\C__WORK_SRC_MAIN_CPP_CVRDFNCS_4.HTML");
}

}  // namespace
}  // namespace vorel
