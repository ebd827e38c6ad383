// End-to-end tests under the Windows host rules (VORELCOV_HOST_RULES=windows
// selects them on any host; a Windows build has them anyway).
//
// A Windows user's profile files carry Windows names. The static file here
// stores "C:\Work\" + "Src\Grade.c", the dynamic file the same file as
// "c:/work/" + "src/grade.C" (another tool's spelling): under the Windows
// rules file names are case-insensitive and '/' and '\' are one separator,
// so every routine must find its record. The source root has a non-ASCII
// name: normalisation upper-cases ASCII letters only.
//
//   Grade.obj / Src\Grade.c, one run
//     grade   3..9   blocks 3:1 (4), 4:5 (4), 5:5 (0); calls helper (line 4)
//     helper  11..12 static; block 11:1 (4)
//     unused  14..16 block 14:1 (0)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/harness.h"
#include "e2e/program_inputs.h"
#include "profile_writer/program.h"

namespace {

using profile_writer::Routine;

using e2e::numbered_routine;

profile_writer::Program program(const std::string& root, const std::string& file) {
  Routine grade = numbered_routine("grade", 3, 9, 1, {{3, 1, 4}, {4, 5, 4}, {5, 5, 0}});
  grade.calls = {profile_writer::CallSite{"helper", 1, 4, true}};
  Routine helper = numbered_routine("helper", 11, 12, 2, {{11, 1, 4}});
  helper.is_static = true;
  helper.external = false;
  Routine unused = numbered_routine("unused", 14, 16, 3, {{14, 1, 0}});
  profile_writer::Program p;
  p.modules = {{root, "Grade.obj", {{root, file, {grade, helper, unused}}}}};
  return p;
}

const e2e::EnvChanges kWindows = {{"VORELCOV_HOST_RULES", "windows"}};
const e2e::EnvChanges kPosix = {{"VORELCOV_HOST_RULES", "posix"}};

class HostRulesTest : public testing::Test {
 protected:
  // Static and dynamic files from two spellings of the same names.
  void write(const profile_writer::Program& spi, const profile_writer::Program& dpi) {
    profile_writer::write_spi(spi, dir_.file("t.spi"), profile_writer::SpiLayout::kTextV8);
    profile_writer::write_dpi(dpi, dir_.file("t.dpi"), profile_writer::DpiLayout::kSegmentedToc);
  }
  e2e::RunResult run(const std::vector<std::string>& extra, const e2e::EnvChanges& env) {
    std::vector<std::string> args = {"-spi", "t.spi", "-dpi", "t.dpi", "-nopmeter"};
    args.insert(args.end(), extra.begin(), extra.end());
    return e2e::run_vorelcov(args, dir_.path(), env);
  }
  e2e::TempDir dir_;
};

// Worked out from the description: the shown name is the re-rooted name in
// upper case with backslashes; each routine that ran is listed with its
// entry count, blocks, covered blocks and percentage.
TEST_F(HostRulesTest, DriveLetterNamesFindTheirRecordsInEveryJoin) {
  write(program("C:\\Work\\", "Src\\Grade.c"), program("c:/work/", "src/grade.C"));
  e2e::RunResult r = run({"-srcroot", "D:\\Pr\xC3\xBC" "fung", "-txtfcvrg", "f.txt", "-txtdcg",
                          "cg.txt"}, kWindows);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("Warning"), std::string::npos) << r.err;
  EXPECT_EQ(dir_.text("f.txt"),
            "Covered Functions in File: \"D:\\PR\xC3\xBC" "FUNG\\SRC\\GRADE.C\"\n"
            "function - grade\t4\t3\t2\t 66.67\n"
            "function - helper\t4\t1\t1\t100.00\n"
            "\n");
  std::string windows_graph = dir_.text("cg.txt");

  // The call graph is the one of the same program with one spelling under
  // the POSIX rules (pinned by the call-graph tests), with the source root
  // of the module names in its Windows form.
  write(program("C:\\Work\\", "Src\\Grade.c"), program("C:\\Work\\", "Src\\Grade.c"));
  r = run({"-srcroot", "D:\\Pr\xC3\xBC" "fung", "-txtdcg", "cg.txt"}, kPosix);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string posix_graph = dir_.text("cg.txt");
  const std::string posix_root = "D:\\Pr\xC3\xBC" "fung/", windows_root = "D:\\PR\xC3\xBC" "FUNG\\";
  for (size_t at; (at = posix_graph.find(posix_root)) != std::string::npos;)
    posix_graph.replace(at, posix_root.size(), windows_root);
  EXPECT_EQ(windows_graph, posix_graph);
  EXPECT_NE(windows_graph.find(".function \"grade\" 0 1 4\n"), std::string::npos) << windows_graph;
}

// Under the POSIX rules the two spellings are two files: nothing matches.
TEST_F(HostRulesTest, PosixRulesKeepCaseAndSeparators) {
  write(program("/work/", "src/Grade.c"), program("/work/", "src/grade.c"));
  e2e::RunResult r = run({"-srcroot", "/r", "-txtfcvrg", "f.txt"}, kPosix);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir_.text("f.txt"), "");
}

}  // namespace
