// Names of the modern HTML report: the prefix cut from shown names, the
// directory chain, and page names that are one-to-one and safe.
#include "report/modern/modern_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vorel {
namespace {

TEST(ModernNames, ShownNamesKeepOneDirectory) {
  struct Case {
    std::vector<std::string_view> names;
    std::string prefix;
  } cases[] = {
      {{"p/src/a.c", "p/src/b.c"}, "p/"},
      {{"/w/p/src/a.c", "/w/p/lib/x/b.c"}, "/w/"},
      {{"p/src/a.c", "q/b.c"}, ""},
      {{"/abs/a/b.c"}, "/abs/"},
      {{"a.c", "b.c"}, ""},
      {{"C:\\w\\src\\a.c", "C:\\w\\src\\b.c"}, "C:\\w\\"},
      {{"p/src/ab.c", "p/src/a.c"}, "p/"},  // a common start inside a name counts not
      {{}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(common_directory(c.names, '\\'), c.prefix) << c.prefix;
  EXPECT_EQ(shown_path("C:\\w\\src\\a.c", "C:\\w\\", '\\'), "src/a.c");
  EXPECT_EQ(shown_path("other/a.c", "p/", '/'), "other/a.c");
  // On POSIX a '\\' is part of a name: "a\\b.c" and "a/b.c" are two files.
  EXPECT_EQ(common_directory({"w\\x.c", "w\\y.c"}, '/'), "");
  EXPECT_EQ(shown_path("p/a\\b.c", "", '/'), "p/a\\b.c");
  EXPECT_NE(file_page_name(shown_path("p/a\\b.c", "", '/')), file_page_name("p/a/b.c"));
  EXPECT_EQ(parent_directories("a/b/c.c"), (std::vector<std::string>{"a", "a/b"}));
  EXPECT_EQ(parent_directories("c.c"), std::vector<std::string>{});
}

TEST(ModernNames, PageNamesAreSafeAndOneToOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"src/a.c", "f-src_a.c.html"},
      {"src/a_b.c", "f-src_a~5fb.c.html"},
      {"src/a~5fb.c", "f-src_a~7e5fb.c.html"},
      {".hidden/x y.c", "f-~2ehidden_x~20y.c.html"},
      {"a\"</script>.c", "f-a~22~3c_script~3e.c.html"},
      {"\xC3\xBC.c", "f-~c3~bc.c.html"},
  };
  for (const auto& [path, page] : cases) EXPECT_EQ(file_page_name(path), page);
  EXPECT_EQ(directory_page_name("src/lib"), "d-src_lib.html");
  // Long paths are cut and told apart by a hash of the whole path.
  const std::string long_dir(300, 'd');
  const std::string a = file_page_name(long_dir + "/a.c"), b = file_page_name(long_dir + "/b.c");
  EXPECT_NE(a, b);
  EXPECT_LE(a.size(), 200u);
  EXPECT_NE(a.find("~~"), std::string::npos);
  // A cut that would split a "~xx" escape drops it whole.
  const std::string escaped = file_page_name(std::string(161, 'x') + std::string(40, ' '));
  EXPECT_EQ(escaped.find("~~"), escaped.find('~'));
  std::set<std::string> pages;
  for (const char* path : {"a/b.c", "a_b.c", "a~5fb.c", "a.b.c", "A_b.c", "a-b.c"})
    EXPECT_TRUE(pages.insert(file_page_name(path)).second) << path;
}

}  // namespace
}  // namespace vorel
