#include "coverage/markers.h"

#include <gtest/gtest.h>

#include "driver/diag.h"
#include "driver/settings.h"
#include "e2e/harness.h"

namespace vorel {
namespace {

class ComponentFileTest : public ::testing::Test {
 protected:
  ComponentFile read(const std::string& text) {
    e2e::write_file(path_, text);
    settings_.component_file_name = path_;
    return read_component_file(settings_);
  }
  // Reads a file that must end the run; returns what went to stderr.
  std::string fails(const std::string& text) {
    testing::internal::CaptureStderr();
    try {
      read(text);
      ADD_FAILURE() << "no fatal exit";
    } catch (const FatalExit& e) {
      EXPECT_EQ(e.status, 1);
    }
    return testing::internal::GetCapturedStderr();
  }

  e2e::TempDir dir_;
  std::string path_ = dir_.file("comp.txt");
  Settings settings_;
};

TEST_F(ComponentFileTest, KeywordLinesEntriesAndBlankLines) {
  settings_.one_line_markers = {"cli"};
  settings_.markers_in_use = 1;
  ComponentFile cf = read(
      "ONE_LINE_NOTFEASIBLE: \"skip me\"\r\n"
      "BEGIN_NOTFEASIBLE: \"begin\"\n"
      "END_NOTFEASIBLE:\"end\" trailing words\n"
      "   \t\n"
      "\n"
      "src/ with space \n"
      "~test");
  EXPECT_EQ(cf.markers.one_line, (std::vector<std::string>{"cli", "skip me"}));
  EXPECT_EQ(cf.markers.begin, (std::vector<std::string>{"begin"}));
  EXPECT_EQ(cf.markers.end, (std::vector<std::string>{"end"}));
  EXPECT_TRUE(cf.markers.in_use);
  EXPECT_EQ(cf.filter.entries(), (std::vector<std::string>{"src/ with space ", "~test"}));
}

TEST_F(ComponentFileTest, LongLinesArriveInPieces) {
  ComponentFile cf = read(std::string(300, 'a') + "\nb\n");
  ASSERT_EQ(cf.filter.entries().size(), 3u);
  EXPECT_EQ(cf.filter.entries()[0], std::string(259, 'a'));
  EXPECT_EQ(cf.filter.entries()[1], std::string(41, 'a'));
  EXPECT_EQ(cf.filter.entries()[2], "b");
}

TEST_F(ComponentFileTest, MarkersOnlyKeepEveryFile) {
  ComponentFile cf = read("ONE_LINE_NOTFEASIBLE: \"x\"\n");
  EXPECT_TRUE(cf.filter.of_interest("/any/where.c"));
}

TEST_F(ComponentFileTest, Errors) {
  const std::string p = path_;
  EXPECT_EQ(fails("ONE_LINE_NOTFEASIBLE: skip\n"),
            "ERROR: File " + p + " does not contain quotas for ONE_LINE_NOTFEASIBLE\n");
  EXPECT_EQ(fails("BEGIN_NOTFEASIBLE: \"abc\n"),
            "ERROR: File " + p + " does not contain quotas for BEGIN_NOTFEASIBLE\n");
  EXPECT_EQ(fails("END_NOTFEASIBLE: \"\n"),
            "ERROR: File " + p + " does not contain quotas for END_NOTFEASIBLE\n");
  EXPECT_EQ(fails("END_NOTFEASIBLE: \"\"\n"), "ERROR: you specified empty marker for infeasible\n");
  EXPECT_EQ(fails(" \n\n"),
            "ERROR: File " + p + " does not contain any component information\n");
  EXPECT_EQ(fails("BEGIN_NOTFEASIBLE: \"b\"\n"),
            "ERROR: Component file " + p +
                " specifies start block marker but not does not specify end block marker\n");
  EXPECT_EQ(fails("END_NOTFEASIBLE: \"e\"\n"),
            "ERROR: Component file " + p +
                " specifies end block marker but not does not specify start block marker\n");
  settings_.component_file_name = dir_.file("absent.txt");
  testing::internal::CaptureStderr();
  EXPECT_THROW(read_component_file(settings_), FatalExit);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR: Couldn't open the component file " + dir_.file("absent.txt") + "\n");
}

TEST_F(ComponentFileTest, CommandLineMarkersCountForTheChecks) {
  settings_.end_block_markers = {"e"};
  ComponentFile cf = read("BEGIN_NOTFEASIBLE: \"b\"\n");
  EXPECT_EQ(cf.markers.begin.size(), 1u);
}

TEST(ComponentFilter, InclusionsAndExclusionsBySubstring) {
  ComponentFilter f({"src/", "~test"});
  EXPECT_TRUE(f.of_interest("/x/src/a.c"));
  EXPECT_FALSE(f.of_interest("/x/src/test/a.c"));
  EXPECT_FALSE(f.of_interest("/x/lib/a.c"));
  ComponentFilter first_exclusion({"~test", "src/"});
  EXPECT_FALSE(first_exclusion.of_interest("/src/test.c"));
  EXPECT_TRUE(ComponentFilter().of_interest("/anything"));
}

TEST(ComponentFilter, WindowsEntriesAreUpperCasedLikeThePaths) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("c"), "src/\n~test\n");
  std::FILE* in = std::fopen(dir.file("c").c_str(), "r");
  ComponentFile cf = read_component_stream(in, "c", {}, windows_rules());
  std::fclose(in);
  EXPECT_EQ(cf.filter.entries(), (std::vector<std::string>{"SRC\\", "~TEST"}));
  EXPECT_FALSE(cf.filter.of_interest("C:\\SRC\\TEST\\A.C"));
  EXPECT_TRUE(cf.filter.of_interest("C:\\SRC\\A.C"));
}

TEST(CheckMarkers, FirstClashIsReported) {
  MarkerLists ok{{"one"}, {"begin"}, {"end"}, true};
  EXPECT_TRUE(check_markers(ok));
  struct Case {
    MarkerLists markers;
    const char* message;
  } cases[] = {
      {{{"a"}, {"a"}, {"e"}, true},
       "ERROR: same comment a specified for one-line infiseable and start infeasible block\n"},
      {{{"a"}, {"b"}, {"a"}, true},
       "ERROR: same comment a specified for one-line infiseable and end infeasible block\n"},
      {{{"x"}, {"b"}, {"b"}, true},
       "ERROR: same comment b specified for end infiseable block and start infeasible block\n"},
      // One-line markers are checked one after the other against both lists.
      {{{"p", "q"}, {"q"}, {"p"}, true},
       "ERROR: same comment p specified for one-line infiseable and end infeasible block\n"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(check_markers(c.markers));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
  }
}

}  // namespace
}  // namespace vorel
