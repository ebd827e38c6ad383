// Component files, the filter they give and the marker checks.
#include "coverage/markers.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "e2e/harness.h"
#include "platform/host.h"

namespace vorel {
namespace {

using test_support::capture;

class ComponentFileTest : public ::testing::Test {
 protected:
  ComponentFile read(const std::string& text) {
    e2e::write_file(path_, text);
    return read_component_file(path_, command_line_, host_rules());
  }
  e2e::TempDir dir_;
  std::string path_ = dir_.file("comp.txt");
  MarkerLists command_line_;
};

TEST_F(ComponentFileTest, KeywordLinesEntriesAndBlankLines) {
  command_line_.one_line = {"cli"};
  command_line_.in_use = true;
  ComponentFile cf = read(
      "ONE_LINE_NOTFEASIBLE: \"skip me\"\r\n"
      "BEGIN_NOTFEASIBLE: \"begin\"\n"
      "END_NOTFEASIBLE:\"end\" trailing words\n"
      "   \t\n"
      "\n"
      "src/ with space \n"
      + std::string(300, 'a') + "\n"
      "~test");
  EXPECT_EQ(cf.markers.one_line, (std::vector<std::string>{"cli", "skip me"}));
  EXPECT_EQ(cf.markers.begin, (std::vector<std::string>{"begin"}));
  EXPECT_EQ(cf.markers.end, (std::vector<std::string>{"end"}));
  EXPECT_TRUE(cf.markers.in_use);
  // A long line arrives in pieces of 259 bytes.
  EXPECT_EQ(cf.filter.entries(), (std::vector<std::string>{"src/ with space ", std::string(259, 'a'),
                                                           std::string(41, 'a'), "~test"}));
  EXPECT_TRUE(read("ONE_LINE_NOTFEASIBLE: \"x\"\n").filter.of_interest("/any/where.c"));
  command_line_.end = {"e"};  // command-line markers count for the checks
  EXPECT_EQ(read("BEGIN_NOTFEASIBLE: \"b\"\n").markers.begin.size(), 1u);
}

// The messages the end-to-end tests do not reach.
TEST_F(ComponentFileTest, Errors) {
  const std::pair<const char*, std::string> cases[] = {
      {"BEGIN_NOTFEASIBLE: \"abc\n", "ERROR: File " + path_ + " does not contain quotas for BEGIN_NOTFEASIBLE\n"},
      {"END_NOTFEASIBLE: \"\n", "ERROR: File " + path_ + " does not contain quotas for END_NOTFEASIBLE\n"},
      {"END_NOTFEASIBLE: \"e\"\n", "ERROR: Component file " + path_ +
                                       " specifies end block marker but not does not specify start block marker\n"},
  };
  for (const auto& [text, message] : cases) {
    auto c = capture([&] { read(text); });
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.err, message);
  }
}

// An exclusion wins wherever it stands; Windows entries are upper-cased
// like the paths. (Inclusion by substring is pinned end to end.)
TEST(ComponentFilter, ExclusionsAndWindowsRules) {
  EXPECT_FALSE(ComponentFilter({"~test", "src/"}).of_interest("/src/test.c"));
  EXPECT_TRUE(ComponentFilter().of_interest("/anything"));
  e2e::TempDir dir;
  e2e::write_file(dir.file("c"), "src/\n~test\n");
  std::FILE* in = std::fopen(dir.file("c").c_str(), "r");
  ComponentFile cf = read_component_stream(in, "c", {}, windows_rules());
  std::fclose(in);
  EXPECT_EQ(cf.filter.entries(), (std::vector<std::string>{"SRC\\", "~TEST"}));
  EXPECT_FALSE(cf.filter.of_interest("C:\\SRC\\TEST\\A.C"));
  EXPECT_TRUE(cf.filter.of_interest("C:\\SRC\\A.C"));
}

// One-line markers are checked one after the other against both block
// lists, then the end list against the begin list; the first clash counts.
// (The clashes with the begin list are pinned end to end.)
TEST(CheckMarkers, FirstClashIsReported) {
  EXPECT_TRUE(check_markers(MarkerLists{{"one"}, {"begin"}, {"end"}, true}));
  auto c = capture([&] { EXPECT_FALSE(check_markers(MarkerLists{{"p", "q"}, {"q"}, {"p"}, true})); });
  EXPECT_EQ(c.err, "ERROR: same comment p specified for one-line infiseable and end infeasible block\n");
}

}  // namespace
}  // namespace vorel
