#include "report/html_source_view.h"

#include <gtest/gtest.h>

#include "coverage/model.h"
#include "driver/diag.h"
#include "html_page_fixture.h"

namespace vorel {
namespace {

class SourceViewTest : public PageTest {
 protected:
  // Makes `name` (with `text`) the current file of the model, with one
  // covered routine at line 1.
  void current(const std::string& name, const std::string& text) {
    e2e::write_file(dir_.file(name), text);
    path_ = dir_.file(name);
    model_.reset_file();
    model_.files.bAddFilename(path_, path_);
    ASSERT_TRUE(model_.files.bSetName(path_, path_));
    model_.functions.open(1);
    model_.functions.add({.readable_name = "f", .proc_name = "f", .start_line = 1, .blocks = 1,
                          .covered_blocks = 1},
                         settings_.differential);
  }
  std::string prefix() const {
    std::string p = dir_.path() + "/";
    for (char& c : p) {
      if (c == '/') c = '_';
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return "CodeCoverage/" + p;
  }
  std::string view(const std::string& upper_name) { return page(prefix() + upper_name + "_SRC.HTML"); }

  CoverageModel model_;
  std::string path_;
};

const char kCharset[] = "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\" />\n";

bool has(const std::string& page, const std::string& text) {
  return page.find(text) != std::string::npos;
}

TEST_F(SourceViewTest, EncodingsDecideTheCharsetLineAndConversion) {
  current("ascii.c", "int x;\n");
  ASSERT_TRUE(write_source_view(ctx(), model_));
  EXPECT_FALSE(has(view("ASCII_C"), "charset"));

  current("utf8.c", "// caf\xC3\xA9\n");
  ASSERT_TRUE(write_source_view(ctx(), model_));
  EXPECT_TRUE(has(view("UTF8_C"), std::string("<head>\n") + kCharset + "<title>"));
  EXPECT_TRUE(has(view("UTF8_C"), "// caf\xC3\xA9</a>\n"));

  current("bom.c", "\xEF\xBB\xBFint y;\n");
  ASSERT_TRUE(write_source_view(ctx(), model_));
  EXPECT_TRUE(has(view("BOM_C"), kCharset));

  // Windows-1252: e-acute and the euro sign come out in UTF-8.
  current("legacy.c", "// caf\xE9 \x80\n");
  ASSERT_TRUE(write_source_view(ctx(), model_));
  EXPECT_TRUE(has(view("LEGACY_C"), kCharset));
  EXPECT_TRUE(has(view("LEGACY_C"), "// caf\xC3\xA9 \xE2\x82\xAC</a>\n"));
}

TEST_F(SourceViewTest, HeadShowsTheDisplayNameAndFileCoverage) {
  current("a&b.c", "x\n");
  FileEntry& e = *model_.files.current_entry();
  e.function_percent = 200.0 / 3;
  e.block_percent = 12.5;
  ASSERT_TRUE(write_source_view(ctx(), model_));
  const std::string p = view("A&B_C");
  EXPECT_TRUE(has(p, "<title>Listing of a&amp;b.c</title>\n"));
  EXPECT_TRUE(has(p, "&#160;a&amp;b.c&#160;"));
  EXPECT_TRUE(has(p, "<font size=-1>coverage:&#160 66.67&#160;%func&#160;&#160;&#160;&#160; "
                     "12.50&#160;%block</font></h4>\n<hr size=1 noshade>\n<pre>\n"));
  // The frame set is written after the view, with the same title.
  EXPECT_TRUE(has(page(prefix() + "A&B_C.HTML"),
                  "information for a&amp;b.c</title>\n</head>\n<frameset cols=\"25%, *\">\n"
                  "<frameset rows=\"10%, *\">\n<frame src=\"__TOOLBAR.HTML\" scrolling=\"no\">\n"));
  settings_.differential = true;
  current("r.c", "x\n");
  ASSERT_TRUE(write_source_view(ctx(), model_));
  EXPECT_TRUE(has(view("R_C"), "<font size=-1>miss rate:&#160 "));
}

TEST_F(SourceViewTest, EmptyFileHasNoFooterButAFrameSet) {
  current("empty.c", "");
  ASSERT_TRUE(write_source_view(ctx(), model_));
  const std::string p = view("EMPTY_C");
  EXPECT_EQ(p.substr(p.size() - 6), "<pre>\n");
  EXPECT_FALSE(has(p, "Web-Page Owner"));
  EXPECT_TRUE(e2e::file_exists(dir_.file(prefix() + "EMPTY_C.HTML")));
}

TEST_F(SourceViewTest, LongLinesStayOneNumberedLine) {
  std::string longline(3000, 'a');
  current("long.c", longline + "\nb\n");
  ASSERT_TRUE(write_source_view(ctx(), model_));
  const std::string p = view("LONG_C");
  EXPECT_TRUE(has(p, "     1) <a name=\"l1\" style=\"background-color: #ffffff\">" + longline +
                         "</a>\n     2) <a name=\"l2\""));
  EXPECT_TRUE(has(p, "</a>\n</pre>\n<hr size=1 noshade>\n<table"));
}

TEST_F(SourceViewTest, TraceBitFourFramesTheRendering) {
  current("t.c", "x\n");
  set_trace_mask(4);
  testing::internal::CaptureStderr();
  const bool ok = write_source_view(ctx(), model_);
  const std::string err = testing::internal::GetCapturedStderr();
  set_trace_mask(0);
  ASSERT_TRUE(ok);
  EXPECT_EQ(err, "Begin OutputLineCoverage for file: " + path_ + "\nEnd OutputLineCoverage for file:   " +
                     path_ + "\n");
}

TEST_F(SourceViewTest, FailureMessages) {
  current("gone.c", "x\n");
  std::filesystem::remove(path_);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_source_view(ctx(), model_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error - Cannot open " + path_ + "!\n");

  current("blocked.c", "x\n");
  block(prefix() + "BLOCKED_C_SRC.HTML");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_source_view(ctx(), model_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Cannot open " + prefix() + "BLOCKED_C_SRC.HTML for output!\n");

  current("frame.c", "x\n");
  block(prefix() + "FRAME_C.HTML");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_source_view(ctx(), model_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to create root html file frame.c!\n");

  current("list.c", "x\n");
  block(prefix() + "LIST_C_CVRDFNCS_5.HTML");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(write_source_view(ctx(), model_));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Cannot open " + prefix() + "LIST_C_CVRDFNCS_5.HTML for output!\n");
  EXPECT_FALSE(e2e::file_exists(dir_.file(prefix() + "LIST_C.HTML")));
}

}  // namespace
}  // namespace vorel
