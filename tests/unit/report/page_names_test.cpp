#include "report/page_names.h"

#include "driver/name_buffer.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(PageNames, SourceFilePagesFollowTheNameRule) {
  const std::string path = "c:\\work\\src\\main.cpp";
  EXPECT_EQ(dir_name(path, "html", '\\'), "CodeCoverage\\C__WORK_SRC_MAIN_CPP.HTML");
  EXPECT_EQ(source_view_name(path, "html", '\\'), "CodeCoverage\\C__WORK_SRC_MAIN_CPP_SRC.HTML");
  EXPECT_EQ(numbered_dir_name(path + "_CvrdFncs", 4, "html", '\\'),
            "CodeCoverage\\C__WORK_SRC_MAIN_CPP_CVRDFNCS_4.HTML");
  EXPECT_EQ(plain_name("/src/app/main.cpp", "LCOV"), "_SRC_APP_MAIN_CPP.LCOV");
  EXPECT_EQ(dir_name("/src/app/main.cpp", "LCOV", '/'), "CodeCoverage/_SRC_APP_MAIN_CPP.LCOV");
}

TEST(PageNames, OnlyTheLastDotIsReplaced) {
  EXPECT_EQ(plain_name("a.b.c", "html"), "A.B_C.HTML");
  EXPECT_EQ(source_view_name("x/y.z.c", "html"), "X_Y.Z_C_SRC.HTML");
}

TEST(PageNames, FixedPagesAndNumberedLists) {
  EXPECT_EQ(plain_name("Code_Coverage", "txt"), "CODE_COVERAGE.TXT");
  EXPECT_EQ(plain_name("Code_Coverage", "html"), "CODE_COVERAGE.HTML");
  EXPECT_EQ(dir_name("__Help", "html", '/'), "CodeCoverage/__HELP.HTML");
  EXPECT_EQ(numbered_dir_name("__Covered_Files_Coverage", 4, "html", '/'),
            "CodeCoverage/__COVERED_FILES_COVERAGE_4.HTML");
  EXPECT_EQ(numbered_name("__Uncovered_Files_Coverage", 0, "html"),
            "__UNCOVERED_FILES_COVERAGE_0.HTML");
}

}  // namespace
}  // namespace vorel

namespace vorel {
namespace {

TEST(PageNames, LongNamesGrowTheNameBuffer) {
  const std::string base(5000, 'a');
  std::string name = plain_name(base, "html");
  EXPECT_EQ(name, std::string(5000, 'A') + ".HTML");
  EXPECT_EQ(name_buffer_capacity(), 8192u);
  name_buffer_release();
}

}  // namespace
}  // namespace vorel
