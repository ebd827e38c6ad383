#include "coverage/report_names.h"

#include <gtest/gtest.h>

#include "coverage/component.h"
#include "platform/host.h"

namespace vorel {
namespace {

std::vector<component> files(const std::vector<std::string>& paths) {
  std::vector<component> out;
  for (const std::string& p : paths) {
    component c;
    c.fileName = p;
    out.push_back(c);
  }
  return out;
}

std::vector<std::string> reports(const std::vector<component>& list) {
  std::vector<std::string> out;
  for (const component& c : list) out.push_back(c.report_name);
  return out;
}

TEST(ReportStem, TheNameRule) {
  EXPECT_EQ(report_stem("c:\\work\\src\\main.cpp"), "C__WORK_SRC_MAIN_CPP");
  EXPECT_EQ(report_stem("src/a.b.c"), "SRC_A.B_C");  // only the last '.'
  EXPECT_EQ(report_stem("noext"), "NOEXT");
}

TEST(ReportNames, ShortPathsAreTheirOwnReportNames) {
  std::vector<component> list = files({"/src/a.c", "/src/a.c", "/src/b.c"});
  testing::internal::CaptureStderr();
  compute_report_names(list, "/home/me", posix_rules());
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(reports(list), (std::vector<std::string>{"/src/a.c", "/src/a.c", "/src/b.c"}));
}

TEST(ReportNames, LongPathsAreAbbreviatedToNumberedBaseNames) {
  // (len + 1) + len(cwd) + 42 < 260 keeps the path: with a 100-byte cwd the
  // limit is a path of 116 bytes.
  const std::string cwd(100, 'w');
  const std::string dir1 = "/" + std::string(120, 'x') + "/";
  const std::string dir2 = "/" + std::string(120, 'y') + "/";
  const std::string keep = "/" + std::string(110, 'k') + "/m.c";  // 115 bytes
  std::vector<component> list =
      files({keep, dir1 + "m.c", dir1 + "m.c", dir2 + "m.c", dir1 + "n.c", dir2 + "z/m.c"});
  testing::internal::CaptureStderr();
  compute_report_names(list, cwd, posix_rules());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Warning: Some file or directory names are too long for default result file naming. "
            "Some result files will use abbreviated names\n");
  EXPECT_EQ(reports(list), (std::vector<std::string>{keep, "m.c", "m.c", "m.c1", "n.c", "m.c2"}));
}

TEST(ReportNames, WindowsRulesCutAtTheBackslash) {
  const std::string dir = "C:\\" + std::string(240, 'D') + "\\";
  std::vector<component> list = files({dir + "A.C", dir + "SUB\\A.C"});
  testing::internal::CaptureStderr();
  compute_report_names(list, "C:\\", windows_rules());
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(reports(list), (std::vector<std::string>{"A.C", "A.C1"}));
}

TEST(ReportNames, PathsWithTheSamePageNameGetASuffix) {
  // a/b_c.c and a_b/c.c both give A_B_C_C; x.c and X.c both give X_C.
  std::vector<component> list = files({"X.c", "a/b_c.c", "a_b/c.c", "u.c", "x.c"});
  compute_report_names(list, "/tmp", posix_rules());
  EXPECT_EQ(reports(list), (std::vector<std::string>{"X.c", "a/b_c.c", "a_b/c.c1", "u.c", "x.c1"}));
}

TEST(ReportNames, ASuffixNeverTakesAnotherFilesPageName) {
  // x.c1 exists already, so the second x.c takes x.c2; unique names stay.
  std::vector<component> list = files({"X.c", "x.c", "x.c1"});
  compute_report_names(list, "/tmp", posix_rules());
  EXPECT_EQ(reports(list), (std::vector<std::string>{"X.c", "x.c2", "x.c1"}));
}

TEST(ReportNames, AbbreviationsThatMeetARealBaseNameAreSeparated) {
  const std::string cwd(100, 'w');
  const std::string d1 = "/" + std::string(120, 'p') + "/";
  const std::string d2 = "/" + std::string(120, 'q') + "/";
  const std::string d3 = "/" + std::string(120, 'r') + "/";
  // The second m.c becomes m.c1, which is also the third path's base name.
  std::vector<component> list = files({d1 + "m.c", d2 + "m.c", d3 + "m.c1"});
  testing::internal::CaptureStderr();
  compute_report_names(list, cwd, posix_rules());
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(reports(list), (std::vector<std::string>{"m.c", "m.c1", "m.c11"}));
}

}  // namespace
}  // namespace vorel
