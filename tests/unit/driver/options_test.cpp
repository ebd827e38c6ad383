// The option scan into the settings record: the colour choices no
// end-to-end run shows. Messages, usage, statuses, value options and the
// report-mode choice are pinned by the end-to-end tests.
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

}  // namespace
}  // namespace vorel
