// The option scan into the settings record: what no end-to-end run shows.
// Messages, usage, statuses, value options, the report-mode choice and most
// flags are pinned by the end-to-end tests.
#include "driver/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture.h"
#include "driver/settings.h"

namespace vorel {
namespace {

Settings scan(std::vector<std::string> words) {
  words.insert(words.begin(), "vorelcov");
  std::vector<const char*> argv;
  for (const auto& w : words) argv.push_back(w.c_str());
  argv.push_back(nullptr);
  Settings s;
  test_support::capture([&] { scan_options(static_cast<int>(words.size()), argv.data(), s); });
  return s;
}

// Flags whose effect no end-to-end run shows; markers accumulate in order.
TEST(OptionScan, FlagsAndMarkers) {
  EXPECT_TRUE(scan({}).progress_meter);
  EXPECT_EQ(scan({}).markers_in_use, 0);
  Settings s = scan({"-multiple-definitions", "-nounwind", "-nopartial", "-onelinedsbl", "x",
                     "-beginblkdsbl", "b1", "-onelinedsbl", "y", "-endblkdsbl", "e1"});
  EXPECT_TRUE(s.multiple_definitions && s.no_unwind && s.no_partial);
  EXPECT_EQ(s.one_line_markers, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(s.begin_block_markers.size() + s.end_block_markers.size(), 2u);
  EXPECT_EQ(s.markers_in_use, 1);
  Settings ref = scan({"-counts", "-ref", "old.dpi", "-nopartial"});
  EXPECT_FALSE(ref.no_partial || ref.show_counts);
}

// The owner name follows the address only while unset. (The qst options are
// pinned by the Tests links of the HTML report.)
TEST(OptionScan, OwnerOptions) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"-mname", "Me", "-maddr", "me@x"}, "Me me@x"},
      {{"-maddr", "me@x", "-mname", "Me"}, "Me me@x"},
      {{"-maddr", "first@x", "-maddr", "second@x"}, "first@x second@x"},
  };
  for (const auto& [args, want] : cases) {
    Settings s = scan(args);
    EXPECT_EQ(s.owner_name.value_or("") + " " + s.owner_address.value_or(""), want);
  }
}

TEST(OptionScan, TraceMaskHexDecimalAndUnreadable) {
  const std::pair<std::vector<std::string>, uint32_t> cases[] = {
      {{"-trace", "0x1f"}, 31}, {{"-trace", "31"}, 31}, {{"-trace", "0x"}, 0},
      {{"-trace", "abc"}, 0},   {{"-trace", "6", "-trace", "zz"}, 6},
      {{"-trace", "0X10"}, 0},  // only "0x" means hex
  };
  for (const auto& [args, mask] : cases) EXPECT_EQ(scan(args).trace_mask, mask) << args[1];
}

// Each colour option sets its index; "floating" is no colour; -nopartial
// shows partial code in the covered colour, unless -ref overrides it.
TEST(OptionScan, Colours) {
  Settings s = scan({"-bcolor", "b", "-ccolor", "c", "-fcolor", "f", "-pcolor", "p", "-ucolor", "u",
                     "-xcolor", "x", "-icolor", "i"});
  EXPECT_EQ(s.color(1) + s.color(2) + s.color(3) + s.color(4) + s.color(5) + s.color(6) + s.color(7), "xucpbfi");
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"-icolor", "floating"}, "#ffffff"},
      {{"-icolor", "Floating"}, "Floating"},
      {{"-nopartial", "-pcolor", "red"}, "#ffffff"},
      {{"-ccolor", "blue", "-nopartial"}, "blue"},
      {{"-counts", "-ref", "old.dpi", "-nopartial", "-pcolor", "red"}, "red"},
  };
  for (const auto& [args, color] : cases)
    EXPECT_EQ(scan(args).color(args[0] == "-icolor" ? 7 : 4), color) << args[1];
  EXPECT_TRUE(scan({"-icolor", "floating"}).floating_info);
}

// Every colour the defaults and the usage text show, and HTML colour names
// of any case, are taken as written.
TEST(OptionScan, ColourValuesTaken) {
  for (const char* value : {"#ffff99", "#ffffff", "#ffcccc", "#fafad2", "#90ee90", "#FFF", "#0a9",
                            "yellow", "HotPink", "lightgreen"})
    EXPECT_EQ(scan({"-bcolor", value}).color(5), value);
}

}  // namespace
}  // namespace vorel
