// Which source files belong to the project: below the root, then the
// --include and --exclude patterns on the root-relative path.
#include <gtest/gtest.h>

#include <string>

#include "import_gcov/source_filter.h"

namespace {

TEST(SourceFilter, KeepsFilesBelowTheRootThatThePatternsLet) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX paths: a root without a drive letter is made absolute on the current drive";
#endif
  const struct {
    bool keep_external;
    const char* include;  // "" for none
    const char* exclude;
    const char* file;
    bool kept;
  } cases[] = {
      {false, "", "", "/p/src/a.c", true},
      {false, "", "", "/p/./src/../src/a.c", true},
      {false, "", "", "/p/../q/a.c", false},
      {false, "", "", "/pq/a.c", false},  // a prefix of the name is not a directory above it
      {false, "", "", "/usr/include/stdio.h", false},
      {true, "", "", "/usr/include/stdio.h", true},
      {true, "", "^/usr/", "/usr/include/stdio.h", false},  // outside: matched as it stands
      {false, "^src/", "", "/p/lib/a.c", false},
      {false, "^src/", "test", "/p/src/test_a.c", false},
      {false, "^src/", "test", "/p/src/a.c", true},
  };
  for (const auto& c : cases) {
    import_gcov::SourceFilterOptions options;
    options.root = "/p/x/..";
    options.keep_external = c.keep_external;
    if (*c.include) options.include.push_back(c.include);
    if (*c.exclude) options.exclude.push_back(c.exclude);
    import_gcov::SourceFilter filter;
    std::string error;
    ASSERT_TRUE(filter.init(options, &error)) << error;
    EXPECT_EQ(filter.root(), "/p/");
    EXPECT_EQ(filter.keeps(c.file), c.kept) << c.file;
    EXPECT_EQ(filter.keeps(c.file), c.kept) << c.file;  // decided once, counted once
    EXPECT_EQ(filter.kept() + filter.outside_root() + filter.by_patterns(), 1u) << c.file;
  }
}

}  // namespace
