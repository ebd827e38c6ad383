// The option scan into the settings record: what no end-to-end run shows.
// Messages, usage, statuses, value options and the report-mode choice are
// pinned by the end-to-end tests.
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

// Any qst option turns the Tests links on; a value-less one keeps its default.
TEST(OptionScan, QstOptions) {
  Scan a = scan({"-qst_host"});
  EXPECT_EQ(a.settings.qst_links, 1);
  EXPECT_EQ(a.settings.qst_host, "qst_host");
  Scan b = scan({"-qst_db_name", "d", "-qst_db_prj", "p"});
  EXPECT_EQ(b.settings.qst_links, 1);
  EXPECT_EQ(b.settings.qst_db_name + *b.settings.qst_db_project, "dp");
}

}  // namespace
}  // namespace vorel
