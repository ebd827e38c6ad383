#include "coverage/report_names.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/component.h"
#include "platform/host.h"

namespace vorel {
namespace {

const char kAbbreviated[] =
    "Warning: Some file or directory names are too long for default result file naming. "
    "Some result files will use abbreviated names\n";

// The report names of `paths`, "!" first when the abbreviation warning came.
std::string names(const std::vector<std::string>& paths, const std::string& cwd,
                  const HostRules& rules = posix_rules()) {
  std::vector<Component> list(paths.size());
  NameArena arena;
  for (size_t i = 0; i < paths.size(); ++i) list[i].file_name = paths[i];
  std::string err = test_support::capture([&] { compute_report_names(list, arena, cwd, rules); }).err;
  std::string out = err.empty() ? "" : err == kAbbreviated ? "! " : "<" + err + "> ";
  for (const Component& c : list) out += std::string(c.report_name) + " ";
  return out;
}

// a/b_c.c and a_b/c.c both give A_B_C_C, x.c and X.c both X_C: the later
// one gets a suffix that takes no other file's page name (x.c1 exists).
TEST(ReportNames, PathsWithTheSamePageNameGetASuffix) {
  EXPECT_EQ(names({"/src/a.c", "/src/a.c", "/src/b.c"}, "/home/me"), "/src/a.c /src/a.c /src/b.c ");
  EXPECT_EQ(names({"X.c", "a/b_c.c", "a_b/c.c", "u.c", "x.c"}, "/tmp"), "X.c a/b_c.c a_b/c.c1 u.c x.c1 ");
  EXPECT_EQ(names({"X.c", "x.c", "x.c1"}, "/tmp"), "X.c x.c2 x.c1 ");
  EXPECT_EQ(report_stem("c:\\w\\a.b.c"), "C__W_A.B_C");  // only the last '.' becomes '_'
}

// (len + 1) + len(cwd) + 42 < 260 keeps the path: with a 100-byte cwd the
// limit is a path of 116 bytes. Longer ones become numbered base names,
// kept apart from real base names (the third m.c1 becomes m.c11).
TEST(ReportNames, LongPathsAreAbbreviatedToNumberedBaseNames) {
  const std::string cwd(100, 'w'), keep = "/" + std::string(110, 'k') + "/m.c";  // 115 bytes
  auto dir = [](char c) { return "/" + std::string(120, c) + "/"; };
  EXPECT_EQ(names({keep, dir('x') + "m.c", dir('x') + "m.c", dir('y') + "m.c", dir('x') + "n.c",
                   dir('y') + "z/m.c"}, cwd),
            "! " + keep + " m.c m.c m.c1 n.c m.c2 ");
  EXPECT_EQ(names({dir('p') + "m.c", dir('q') + "m.c", dir('r') + "m.c1"}, cwd), "! m.c m.c1 m.c11 ");
  EXPECT_EQ(names({"/" + std::string(111, 'k') + "/m.c", "/" + std::string(112, 'k') + "/m.c"}, cwd),
            "! /" + std::string(111, 'k') + "/m.c m.c ");  // 116 bytes kept, 117 not
  const std::string win = "C:\\" + std::string(240, 'D') + "\\";
  EXPECT_EQ(names({win + "A.C", win + "SUB\\A.C"}, "C:\\", windows_rules()), "! A.C A.C1 ");
}

}  // namespace
}  // namespace vorel
