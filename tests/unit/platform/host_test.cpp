#include "platform/host.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

std::string win(std::string_view root) { return normalise_root(windows_rules(), root); }
std::string posix(std::string_view root) { return normalise_root(posix_rules(), root); }

TEST(HostRules, TheTwoRuleSets) {
  HostRules w = windows_rules();
  EXPECT_EQ(w.separator, '\\');
  EXPECT_TRUE(w.fold_case);
  EXPECT_TRUE(w.drop_underscore);
  HostRules p = posix_rules();
  EXPECT_EQ(p.separator, '/');
  EXPECT_FALSE(p.fold_case);
  EXPECT_FALSE(p.drop_underscore);
  EXPECT_EQ(host_rules().separator, '/');  // the tests run on a POSIX host
}

TEST(HostRules, NormalisePathFoldsOnlyOnWindows) {
  EXPECT_EQ(normalise_path(windows_rules(), "c:/Src/main.c"), "C:\\SRC\\MAIN.C");
  EXPECT_EQ(normalise_path(posix_rules(), "/Src/main.c"), "/Src/main.c");
}

TEST(NormaliseRootWindows, SeparatorsCaseAndDoubledSeparators) {
  EXPECT_EQ(win("c:/work/src"), "C:\\WORK\\SRC");
  EXPECT_EQ(win("c://work\\\\src\\"), "C:\\WORK\\SRC\\");
  EXPECT_EQ(win("c:\\a.b\\c"), "C:\\A.B\\C");  // a dot inside a name is kept
}

TEST(NormaliseRootWindows, DotAndDotDotComponents) {
  EXPECT_EQ(win("c:/a/./b/../c"), "C:\\A\\C");
  EXPECT_EQ(win(".\\a"), "A");
  EXPECT_EQ(win("c:./a"), "C:A");  // '.' right after a drive prefix
  EXPECT_EQ(win("\\a\\..\\b"), "\\B");
  EXPECT_EQ(win("c:/a/./././b"), "C:\\A\\B");
}

TEST(NormaliseRootWindows, TrailingDots) {
  EXPECT_EQ(win("c:/a/."), "C:\\A\\");
  EXPECT_EQ(win("c:/a/b/.."), "C:\\A\\");
  EXPECT_EQ(win("c:/a/b."), "C:\\A\\B.");
  EXPECT_EQ(win(".."), "..");
  // No separator left before the removed component: step-1 text.
  EXPECT_EQ(win("foo/.."), "FOO\\..");
  EXPECT_EQ(win("\\.."), "\\..");
}

TEST(NormaliseRootWindows, UnresolvableDotDotKeepsTheUnifiedText) {
  EXPECT_EQ(win("../a"), "..\\A");               // nothing before it
  EXPECT_EQ(win("c:/a/../../b"), "C:\\A\\..\\..\\B");  // climbs above the drive
  EXPECT_EQ(win("x/b/../c"), "X\\B\\..\\C");     // exactly two characters would remain
  EXPECT_EQ(win("a../b"), "A..\\B");              // not a component start
  EXPECT_EQ(win("a/.../b"), "A\\...\\B");
}

TEST(NormaliseRootPosix, CaseKeptSlashIsTheSeparator) {
  EXPECT_EQ(posix("/Home/./x/../y"), "/Home/y");
  EXPECT_EQ(posix("//a//b/"), "/a/b/");
  EXPECT_EQ(posix("/a/b/.."), "/a/");
  EXPECT_EQ(posix("/a/."), "/a/");
  EXPECT_EQ(posix("./src"), "src");
  EXPECT_EQ(posix("/a/../b"), "/b");
}

TEST(NormaliseRootPosix, BackslashAndDriveAreOrdinary) {
  EXPECT_EQ(posix("a\\b/./c"), "a\\b/c");
  EXPECT_EQ(posix("a\\\\b"), "a\\\\b");
  EXPECT_EQ(posix("c:./a"), "c:./a");
  EXPECT_EQ(posix("a\\..\\b"), "a\\..\\b");
}

TEST(NormaliseRoot, EmptyStaysEmpty) {
  EXPECT_EQ(win(""), "");
  EXPECT_EQ(posix(""), "");
}

}  // namespace
}  // namespace vorel
