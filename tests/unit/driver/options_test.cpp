// The option scan into the settings record. Messages, usage and statuses as
// a user sees them are pinned by tests/e2e/cli_test.cpp.
#include "driver/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture.h"
#include "driver/settings.h"

namespace vorel {
namespace {

struct Scan {
  int result = -1;  // stays -1 after a fatal exit
  Settings settings;
  test_support::Captured io;
};

Scan scan(std::vector<std::string> words) {
  words.insert(words.begin(), "vorelcov");
  std::vector<const char*> argv;
  for (const auto& w : words) argv.push_back(w.c_str());
  argv.push_back(nullptr);
  Scan r;
  r.io = test_support::capture(
      [&] { r.result = scan_options(static_cast<int>(words.size()), argv.data(), r.settings); });
  return r;
}

TEST(OptionScan, ValueOptionsFillTheirFieldsLastOneWins) {
  Scan r = scan({"-spi", "a.spi", "-spi", "b.spi", "-dpi", "d", "-srcroot", "r", "-prj", "P",
                 "-txtfcvrg", "1", "-xmlfcvrg", "2", "-txtbcvrgfull", "3", "-xmlbcvrgfull", "4",
                 "-txtbcvrg", "5", "-xmlbcvrg", "6", "-txtdcg", "7", "-platform=x",
                 "-comp", "-nopmeter", "-ref", "-spi"});
  ASSERT_EQ(r.result, 1);
  const Settings& s = r.settings;
  const std::pair<std::optional<std::string>, const char*> fields[] = {
      {s.spi_file_name, "b.spi"}, {s.dpi_file_name, "d"}, {s.source_root, "r"},
      {s.project_name, "P"}, {s.txt_function_list, "1"}, {s.xml_function_list, "2"},
      {s.txt_block_list_full, "3"}, {s.xml_block_list_full, "4"}, {s.txt_block_list, "5"},
      {s.xml_block_list, "6"}, {s.call_graph_file, "7"},
      // An argument is taken whatever it looks like.
      {s.component_file_name, "-nopmeter"}, {s.ref_dpi_file_name, "-spi"}};
  for (const auto& [field, value] : fields) EXPECT_EQ(field, value);
  EXPECT_TRUE(s.progress_meter);
  EXPECT_TRUE(s.differential);
}

TEST(OptionScan, FlagOptionsAndTheirDefaults) {
  const Settings plain = scan({}).settings;
  EXPECT_TRUE(plain.progress_meter && plain.html_report);
  EXPECT_FALSE(plain.no_partial || plain.show_counts || plain.no_html || plain.include_nonexec);
  Scan r = scan({"-multiple-definitions", "-demang", "-showdirnames", "-counts", "-blockcounts",
                 "-nounwind", "-nopartial", "-nopmeter", "-include-nonexec", "-nohtml"});
  const Settings& s = r.settings;
  EXPECT_TRUE(s.multiple_definitions);
  EXPECT_EQ(s.demangle, 1);
  EXPECT_TRUE(s.show_dir_names && s.show_counts && s.block_counts && s.no_unwind);
  EXPECT_TRUE(s.no_partial && s.include_nonexec && s.no_html && s.html_report);
  EXPECT_FALSE(s.progress_meter);
}

TEST(OptionScan, MarkersAccumulateInOrder) {
  Scan r = scan({"-onelinedsbl", "x", "-beginblkdsbl", "b1", "-onelinedsbl", "y", "-endblkdsbl",
                 "e1"});
  EXPECT_EQ(r.settings.one_line_markers, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(r.settings.begin_block_markers, (std::vector<std::string>{"b1"}));
  EXPECT_EQ(r.settings.end_block_markers, (std::vector<std::string>{"e1"}));
  EXPECT_EQ(r.settings.markers_in_use, 1);
  EXPECT_EQ(scan({}).settings.markers_in_use, 0);
}

TEST(OptionScan, OwnerNameFollowsTheAddressOnlyWhileUnset) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"-maddr", "me@x"}, "me@x"},
      {{"-mname", "Me", "-maddr", "me@x"}, "Me"},
      {{"-maddr", "me@x", "-mname", "Me"}, "Me"},
      {{"-maddr", "first@x", "-maddr", "second@x"}, "first@x"},
  };
  for (const auto& [args, name] : cases) {
    Scan r = scan(args);
    EXPECT_EQ(r.settings.owner_name, name);
    EXPECT_EQ(r.settings.owner_address, args.back() == "Me" ? "me@x" : args.back());
  }
}

TEST(OptionScan, TraceMaskHexDecimalAndUnreadable) {
  const std::pair<std::vector<std::string>, uint32_t> cases[] = {
      {{"-trace", "0x1f"}, 31}, {{"-trace", "31"}, 31}, {{"-trace", "0x"}, 0},
      {{"-trace", "abc"}, 0},   {{"-trace", "6", "-trace", "zz"}, 6},
      {{"-trace", "0X10"}, 0},  // only "0x" means hex
  };
  for (const auto& [args, mask] : cases) EXPECT_EQ(scan(args).settings.trace_mask, mask) << args[1];
}

// Each colour option sets its index; "floating" is no colour; -nopartial
// shows partial code in the covered colour, unless -ref overrides it.
TEST(OptionScan, Colours) {
  Scan r = scan({"-bcolor", "b", "-ccolor", "c", "-fcolor", "f", "-pcolor", "p", "-ucolor", "u",
                 "-xcolor", "x", "-icolor", "i"});
  const char* expected[] = {"", "x", "u", "c", "p", "b", "f", "i"};
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(r.settings.color(i), expected[i]) << i;
  struct Case {
    std::vector<std::string> args;
    int index;
    const char* color;
  } cases[] = {
      {{"-icolor", "floating"}, 7, "#ffffff"},
      {{"-icolor", "Floating"}, 7, "Floating"},
      {{"-nopartial", "-pcolor", "red"}, 4, "#ffffff"},
      {{"-pcolor", "red", "-nopartial"}, 4, "#ffffff"},
      {{"-ccolor", "blue", "-nopartial"}, 4, "blue"},
      {{"-nopartial", "-ccolor", "blue"}, 4, "blue"},
      {{"-counts", "-ref", "old.dpi", "-nopartial", "-pcolor", "red"}, 4, "red"},
  };
  for (const Case& c : cases) EXPECT_EQ(scan(c.args).settings.color(c.index), c.color) << c.args[1];
  EXPECT_TRUE(scan({"-icolor", "floating"}).settings.floating_info);
  Scan ref = scan({"-counts", "-ref", "old.dpi", "-nopartial"});
  EXPECT_FALSE(ref.settings.no_partial || ref.settings.show_counts);
}

TEST(OptionScan, ReportModeChoice) {
  for (const char* option : {"-txtbcvrgfull", "-xmlbcvrgfull"})
    EXPECT_TRUE(scan({option, "out"}).settings.html_report) << option;
  for (const char* option : {"-txtfcvrg", "-xmlfcvrg", "-txtbcvrg", "-xmlbcvrg", "-txtdcg"})
    EXPECT_FALSE(scan({option, "out"}).settings.html_report) << option;
  Scan l = scan({"-txtlcov"});
  EXPECT_FALSE(l.settings.html_report);
  EXPECT_TRUE(l.settings.line_coverage);
}

TEST(OptionScan, QstOptions) {
  Scan a = scan({"-qst_db_prj"});
  EXPECT_EQ(a.result, 1);
  EXPECT_EQ(a.settings.qst_links, 1);
  EXPECT_FALSE(a.settings.qst_db_project);
  EXPECT_EQ(scan({"-qst_host"}).settings.qst_host, "qst_host");
  Scan b = scan({"-qst_host", "h", "-qst_db_name", "d", "-qst_db_prj", "p", "-qst_user", "u",
                 "-qst_passwd", "pw"});
  EXPECT_EQ(b.settings.qst_links, 1);
  EXPECT_EQ(b.settings.qst_host + b.settings.qst_db_name + *b.settings.qst_db_project +
                *b.settings.qst_user + *b.settings.qst_password,
            "hdpupw");
}

}  // namespace
}  // namespace vorel
