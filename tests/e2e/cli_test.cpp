// The command line as the user sees it: messages, streams and statuses.
#include <gtest/gtest.h>

#include "cli_expect.h"
#include "e2e/harness.h"

namespace e2e {
namespace {

RunResult run(const std::vector<std::string>& args) {
  TempDir dir;
  return run_vorelcov(args, dir.path(), kHostsOwnRules);
}

void expect_usage(const RunResult& r, const std::string& message, const std::string& banner = kBanner) {
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, message + banner);
  EXPECT_EQ(r.out, expected_usage());
}

// Which dynamic profile file a run looks for: the default name exactly (not
// ZENTRA.DPI), the last -dpi, an argument that looks like an option; it is
// opened before the static file; qst options may go without a value.
TEST(CommandLineCli, TheDynamicProfileLookedFor) {
  for (const auto& row : expected_rows("dpi_looked_for.tsv")) {  // options, the name
    TempDir dir;
#ifndef _WIN32  // a case-insensitive file system would find it
    write_file(dir.file("ZENTRA.DPI"), "not the default name");
    const std::vector<std::string> files = {"ZENTRA.DPI", "app.spi"};
#else
    const std::vector<std::string> files = {"app.spi"};
#endif
    write_file(dir.file("app.spi"), "V");
    RunResult r = run_vorelcov(words(row[0]), dir.path(), kHostsOwnRules);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, kScanDone + "Couldn't find the dpi file " + row.at(1) + "!\n");
    EXPECT_EQ(list_dir(dir.path()), files);
  }
}

// A word that is no option gives its message and the usage; help words and
// options that lack their argument give the usage alone.
TEST(CommandLineCli, UsageAfterWrongOrHelpWords) {
  for (const char* word :
       {"app.spi", "--no-such-option", "-SPI", "-Dpi", "-platform", "-nopmeter=1"}) {
    SCOPED_TRACE(word);
    expect_usage(run({"-counts", word, "-helpx"}),
                 std::string("ERROR: wrong option ") + word + " is specified.\n");
  }
  for (const char* word : {"-?", "/?", "-help", "/help", "-h", "/h"}) {
    SCOPED_TRACE(word);
    expect_usage(run({word, "bogus"}), "");
  }
  for (const char* option : {"-spi", "-dpi", "-ref", "-srcroot", "-prj", "-maddr", "-mname"}) {
    SCOPED_TRACE(option);
    expect_usage(run({"-counts", option}), "");
  }
}

TEST(CommandLineCli, ExternalOptionsText) {
  for (const char* word : {"-helpx", "/helpx"}) {
    RunResult r = run({"-counts", word, "-help"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expected_file("helpx.txt"));
  }
}

// Options that lack their argument, and -txtlcov beside options it cannot
// go with (the -ref warnings first): the message alone, no output file.
TEST(CommandLineCli, OptionErrorsEndTheRunBeforeAnything) {
  for (const auto& row : expected_rows("option_errors.tsv")) {
    SCOPED_TRACE(row[0]);
    TempDir dir;
    RunResult r = run_vorelcov(words(row[0]), dir.path(), kHostsOwnRules);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, row.at(1) + "\n");  // no banner, no usage, no checks
    EXPECT_TRUE(list_dir(dir.path()).empty());
  }
}

// A colour is an HTML colour name or '#' with 3 or 6 hex digits: anything
// else, which would carry more than a colour into the pages' style
// attributes, is an option error.
TEST(CommandLineCli, ColourOptionsTakeOnlyColours) {
  const char* const bad[] = {"red;background-image:url(http://host/x)", "", "#ff", "#fffff",
                             "#ffffffff", "#ggg", "red ", "light-green", "\"red\"", "rgb(1,2,3)"};
  for (const char* option : {"-bcolor", "-ccolor", "-fcolor", "-icolor", "-pcolor", "-ucolor", "-xcolor"})
    for (const char* value : bad) {
      RunResult r = run({"-counts", option, value, "-nopmeter"});
      EXPECT_EQ(r.status, 1) << option << value;
      EXPECT_EQ(r.err, std::string("ERROR: wrong html color ") + value +
                           " is specified: use a color name or # and 3 or 6 hex digits.\n");
      EXPECT_EQ(r.out, "");
    }
}

// -ref warnings and the banner -platform= selects (only the first such word
// counts), before the run looks for its profile.
TEST(CommandLineCli, WarningsAndBannerBeforeTheRun) {
  const std::string no_dpi = "Couldn't find the dpi file zentra.dpi!\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"-counts", "-nopartial", "-ref", "old.dpi"},
       "WARNING: option -ref overrides option -nopartial.\nWARNING: option -ref overrides option -counts.\n" +
           kScanDone + no_dpi},
      {{"-nopmeter", "-platform=vxworks70"}, kBannerVxWorks7 + "\n" + no_dpi},
      {{"-platform=vxworks7"}, kScanDone + no_dpi},
      {{"-platform=linux", "-platform=vxworks70"}, kScanDone + no_dpi},
  };
  for (const auto& [args, err] : cases) {
    RunResult r = run(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, err) << args.back();
  }
  // The usage after a wrong word carries the selected banner too.
  expect_usage(run({"-platform=vxworks70", "bogus"}), "ERROR: wrong option bogus is specified.\n",
               kBannerVxWorks7);
}

}  // namespace
}  // namespace e2e
