#include "driver/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/settings.h"
#include "fatal.h"

namespace vorel {
namespace {

using testing_support::fatal_status;

// Result of one scan: return value (or -1 after a fatal exit), exit status,
// settings and both streams.
struct Scan {
  int result = -1;
  int status = -1;
  Settings settings;
  std::string out, err;
};

Scan scan(std::vector<std::string> words) {
  words.insert(words.begin(), "vorelcov");
  std::vector<const char*> argv;
  for (const auto& w : words) argv.push_back(w.c_str());
  argv.push_back(nullptr);
  Scan r;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  r.status = fatal_status(
      [&] { r.result = scan_options(static_cast<int>(words.size()), argv.data(), r.settings); });
  r.err = testing::internal::GetCapturedStderr();
  r.out = testing::internal::GetCapturedStdout();
  return r;
}

TEST(OptionScan, NoArgumentsKeepEveryDefault) {
  Scan r = scan({});
  ASSERT_EQ(r.result, 1);
  const Settings& s = r.settings;
  EXPECT_EQ(s.spi_file_name, "zentra.spi");
  EXPECT_EQ(s.dpi_file_name, "zentra.dpi");
  EXPECT_FALSE(s.differential);
  EXPECT_TRUE(s.html_report);
  EXPECT_TRUE(s.progress_meter);
  EXPECT_EQ(s.owner_address, "nobody");
  EXPECT_EQ(s.owner_name, "Nobody");
  EXPECT_EQ(s.trace_mask, 0u);
  EXPECT_EQ(s.qst_links, 0);
  EXPECT_EQ(s.qst_host, "qst_host");
  EXPECT_EQ(s.qst_db_name, "qst_db");
  EXPECT_EQ(s.page_extension, "html");
  EXPECT_EQ(s.color(1), "#90ee90");
  EXPECT_EQ(s.color(4), "#fafad2");
  EXPECT_EQ(s.color(6), "#ffcccc");
  EXPECT_EQ(r.out, "");
}

TEST(OptionScan, LastValueWinsAndMarkersAccumulate) {
  Scan r = scan({"-spi", "a.spi", "-spi", "b.spi", "-onelinedsbl", "x", "-beginblkdsbl", "b1",
                 "-onelinedsbl", "y", "-endblkdsbl", "e1"});
  ASSERT_EQ(r.result, 1);
  EXPECT_EQ(r.settings.spi_file_name, "b.spi");
  EXPECT_EQ(r.settings.one_line_markers, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(r.settings.begin_block_markers, (std::vector<std::string>{"b1"}));
  EXPECT_EQ(r.settings.end_block_markers, (std::vector<std::string>{"e1"}));
  EXPECT_EQ(r.settings.markers_in_use, 1);
}

TEST(OptionScan, AnArgumentIsTakenWhateverItLooksLike) {
  Scan r = scan({"-comp", "-nopmeter", "-dpi", "-spi"});
  ASSERT_EQ(r.result, 1);
  EXPECT_EQ(r.settings.component_file_name, "-nopmeter");
  EXPECT_TRUE(r.settings.progress_meter);
  EXPECT_EQ(r.settings.dpi_file_name, "-spi");
  EXPECT_EQ(r.settings.spi_file_name, "zentra.spi");
}

TEST(OptionScan, OwnerNameFollowsTheAddressOnlyWhileUnset) {
  Scan a = scan({"-maddr", "me@x"});
  EXPECT_EQ(a.settings.owner_address, "me@x");
  EXPECT_EQ(a.settings.owner_name, "me@x");
  Scan b = scan({"-mname", "Me", "-maddr", "me@x"});
  EXPECT_EQ(b.settings.owner_name, "Me");
  Scan c = scan({"-maddr", "me@x", "-mname", "Me"});
  EXPECT_EQ(c.settings.owner_name, "Me");
  Scan d = scan({"-maddr", "first@x", "-maddr", "second@x"});
  EXPECT_EQ(d.settings.owner_address, "second@x");
  EXPECT_EQ(d.settings.owner_name, "first@x");
}

TEST(OptionScan, TraceMaskHexDecimalAndUnreadable) {
  EXPECT_EQ(scan({"-trace", "0x1f"}).settings.trace_mask, 31u);
  EXPECT_EQ(scan({"-trace", "31"}).settings.trace_mask, 31u);
  EXPECT_EQ(scan({"-trace", "0x"}).settings.trace_mask, 0u);
  EXPECT_EQ(scan({"-trace", "abc"}).settings.trace_mask, 0u);
  EXPECT_EQ(scan({"-trace", "6", "-trace", "zz"}).settings.trace_mask, 6u);
  EXPECT_EQ(scan({"-trace", "0X10"}).settings.trace_mask, 0u);  // only "0x" means hex
}

TEST(OptionScan, InformationColourAndFloatingLayout) {
  Scan a = scan({"-icolor", "floating"});
  EXPECT_TRUE(a.settings.floating_info);
  EXPECT_EQ(a.settings.color(7), "#ffffff");
  Scan b = scan({"-icolor", "Floating"});
  EXPECT_FALSE(b.settings.floating_info);
  EXPECT_EQ(b.settings.color(7), "Floating");
}

TEST(OptionScan, ColourOptionsSetTheirIndex) {
  Scan r = scan({"-bcolor", "b", "-ccolor", "c", "-fcolor", "f", "-pcolor", "p", "-ucolor", "u",
                 "-xcolor", "x", "-icolor", "i"});
  const char* expected[] = {"", "x", "u", "c", "p", "b", "f", "i"};
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(r.settings.color(i), expected[i]) << i;
}

TEST(OptionScan, NoPartialShowsPartialCodeInTheCoveredColour) {
  EXPECT_EQ(scan({"-nopartial", "-pcolor", "red"}).settings.color(4), "#ffffff");
  EXPECT_EQ(scan({"-pcolor", "red", "-nopartial"}).settings.color(4), "#ffffff");
  EXPECT_EQ(scan({"-ccolor", "blue", "-nopartial"}).settings.color(4), "blue");
  EXPECT_EQ(scan({"-nopartial", "-ccolor", "blue"}).settings.color(4), "blue");
  EXPECT_EQ(scan({"-pcolor", "red"}).settings.color(4), "red");
}

TEST(OptionScan, ReferenceOverridesNoPartialAndCounts) {
  Scan r = scan({"-counts", "-ref", "old.dpi", "-nopartial", "-pcolor", "red"});
  ASSERT_EQ(r.result, 1);
  EXPECT_TRUE(r.settings.differential);
  EXPECT_EQ(r.settings.ref_dpi_file_name, "old.dpi");
  EXPECT_FALSE(r.settings.no_partial);
  EXPECT_FALSE(r.settings.show_counts);
  EXPECT_EQ(r.settings.color(4), "red");  // no_partial was off by check 4
  EXPECT_EQ(r.err.rfind("WARNING: option -ref overrides option -nopartial.\n"
                        "WARNING: option -ref overrides option -counts.\n",
                        0),
            0u);
}

TEST(OptionScan, ReportModeChoice) {
  EXPECT_TRUE(scan({"-txtbcvrgfull", "f.txt"}).settings.html_report);
  EXPECT_TRUE(scan({"-xmlbcvrgfull", "f.xml"}).settings.html_report);
  EXPECT_TRUE(scan({"-nohtml"}).settings.html_report);
  for (const char* option : {"-txtfcvrg", "-xmlfcvrg", "-txtbcvrg", "-xmlbcvrg", "-txtdcg"})
    EXPECT_FALSE(scan({option, "out"}).settings.html_report) << option;
  Scan l = scan({"-txtlcov"});
  EXPECT_FALSE(l.settings.html_report);
  EXPECT_TRUE(l.settings.line_coverage);
}

TEST(OptionScan, FlagOptions) {
  Scan r = scan({"-multiple-definitions", "-demang", "-showdirnames", "-counts", "-blockcounts",
                 "-nounwind", "-nopartial", "-nopmeter", "-include-nonexec", "-nohtml"});
  const Settings& s = r.settings;
  EXPECT_TRUE(s.multiple_definitions);
  EXPECT_EQ(s.demangle, 1);
  EXPECT_TRUE(s.show_dir_names && s.show_counts && s.block_counts && s.no_unwind);
  EXPECT_TRUE(s.no_partial && s.include_nonexec && s.no_html);
  EXPECT_FALSE(s.progress_meter);
}

TEST(OptionScan, QstOptions) {
  Scan a = scan({"-qst_db_prj"});
  EXPECT_EQ(a.result, 1);
  EXPECT_EQ(a.settings.qst_links, 1);
  EXPECT_FALSE(a.settings.qst_db_project);
  Scan b = scan({"-qst_host", "h", "-qst_db_name", "d", "-qst_db_prj", "p", "-qst_user", "u",
                 "-qst_passwd", "pw"});
  EXPECT_EQ(b.settings.qst_links, 1);
  EXPECT_EQ(b.settings.qst_host, "h");
  EXPECT_EQ(b.settings.qst_db_name, "d");
  EXPECT_EQ(b.settings.qst_db_project, "p");
  EXPECT_EQ(b.settings.qst_user, "u");
  EXPECT_EQ(b.settings.qst_password, "pw");
  Scan c = scan({"-qst_host"});
  EXPECT_EQ(c.settings.qst_host, "qst_host");
  EXPECT_EQ(c.settings.qst_links, 1);
}

TEST(OptionScan, ValueOptionsFillTheirFields) {
  Scan r = scan({"-dpi", "d", "-srcroot", "r", "-prj", "P", "-txtfcvrg", "1", "-xmlfcvrg", "2",
                 "-txtbcvrgfull", "3", "-xmlbcvrgfull", "4", "-txtbcvrg", "5", "-xmlbcvrg", "6",
                 "-txtdcg", "7", "-platform=x"});
  const Settings& s = r.settings;
  ASSERT_EQ(r.result, 1);
  EXPECT_EQ(s.dpi_file_name, "d");
  EXPECT_EQ(s.source_root, "r");
  EXPECT_EQ(s.project_name, "P");
  EXPECT_EQ(s.txt_function_list, "1");
  EXPECT_EQ(s.xml_function_list, "2");
  EXPECT_EQ(s.txt_block_list_full, "3");
  EXPECT_EQ(s.xml_block_list_full, "4");
  EXPECT_EQ(s.txt_block_list, "5");
  EXPECT_EQ(s.xml_block_list, "6");
  EXPECT_EQ(s.call_graph_file, "7");
}

TEST(OptionScan, WrongWordsReturnZeroWithTheirMessage) {
  for (const char* word : {"file.spi", "--help", "-SPI", "-platform", "-Help", "-"}) {
    Scan r = scan({"-counts", word, "-nopmeter"});
    EXPECT_EQ(r.result, 0) << word;
    EXPECT_EQ(r.err, std::string("ERROR: wrong option ") + word + " is specified.\n");
    EXPECT_TRUE(r.settings.progress_meter) << "words after the error are not examined";
  }
}

TEST(OptionScan, HelpReturnsZeroAtOnce) {
  for (const char* word : {"-?", "/?", "-help", "/help", "-h", "/h"}) {
    Scan r = scan({word, "bogus"});
    EXPECT_EQ(r.result, 0) << word;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace vorel
