// The source view page: encodings, an empty file, the trace and failures;
// the page itself is pinned by tests/e2e/expected/html_demo.
#include "report/html_source_view.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/model.h"
#include "html_page_fixture.h"

namespace vorel {
namespace {

using test_support::capture;

class SourceViewTest : public PageTest {
 protected:
  // Makes `name` (with `text`) the current file of the model, with one
  // covered routine at line 1, and writes its view ("gone": the file is
  // removed before). The name is relative to the working directory, so that
  // its page name is the same on every host.
  bool write(const std::string& name, const std::string& text) {
    path_ = name;
    e2e::write_file(dir_.file(name), text);
    model_.reset_file();
    model_.files.add_filename(path_, path_);
    EXPECT_TRUE(model_.files.set_name(path_, path_));
    model_.functions.open(1);
    model_.functions.add({.readable_name = "f", .proc_name = "f", .start_line = 1, .blocks = 1, .covered_blocks = 1}, false);
    if (text == "gone") std::filesystem::remove(path_);
    return write_source_view(ctx(), model_);
  }
  // The page name of `name` + suffix in the report directory.
  std::string page_of(const std::string& name, const std::string& suffix) const {
    std::string p = name;
    for (char& c : p) c = c == '/' ? '_' : static_cast<char>(std::toupper(c));
    p[p.rfind('.')] = '_';
    return "CodeCoverage/" + p + suffix;
  }
  std::string view(const std::string& name) const { return page(page_of(name, "_SRC.HTML")); }

  CoverageModel model_;
  std::string path_;
};

// ASCII needs no charset line; UTF-8 (by content or byte-order mark) gets
// one; Windows-1252 text is converted to UTF-8 (unassigned bytes become
// U+FFFD) and gets one.
TEST_F(SourceViewTest, EncodingsDecideTheCharsetLineAndConversion) {
  const std::string charset =
      "<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html;charset=UTF-8\" />\n<title>";
  const struct {
    const char *name, *text, *shown;
    bool charset;
  } cases[] = {
      {"ascii.c", "int x;\n", "int x;</a>\n", false},
      {"utf8.c", "// caf\xC3\xA9\n", "// caf\xC3\xA9</a>\n", true},
      {"bom.c", "\xEF\xBB\xBFint y;\n", "int y;</a>\n", true},
      // 0x80 is the euro sign; 0x81 is unassigned in Windows-1252.
      {"legacy.c", "// caf\xE9 \x80\x81\n", "// caf\xC3\xA9 \xE2\x82\xAC\xEF\xBF\xBD</a>\n", true},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(write(c.name, c.text));
    EXPECT_EQ(view(c.name).find(charset) != std::string::npos, c.charset) << c.name;
    EXPECT_NE(view(c.name).find(c.shown), std::string::npos) << c.name;
  }
}

TEST_F(SourceViewTest, EmptyFileHasNoFooterButAFrameSet) {
  ASSERT_TRUE(write("empty.c", ""));
  const std::string p = view("empty.c");
  EXPECT_EQ(p.substr(p.size() - 6), "<pre>\n");
  EXPECT_TRUE(e2e::file_exists(dir_.file(page_of("empty.c", ".HTML"))));
}

TEST_F(SourceViewTest, TraceBitFourFramesTheRendering) {
  set_trace_mask(4);
  auto c = capture([&] { EXPECT_TRUE(write("t.c", "x\n")); });
  set_trace_mask(0);
  EXPECT_EQ(c.err, "Begin OutputLineCoverage for file: " + path_ +
                       "\nEnd OutputLineCoverage for file:   " + path_ + "\n");
}

// The view, the frame set and the function lists each fail with their own
// message; a failed list leaves the frame set unwritten.
TEST_F(SourceViewTest, FailureMessages) {
  const std::pair<const char*, const char*> cases[] = {
      {"blocked.c", "_SRC.HTML"}, {"frame.c", ".HTML"}, {"list.c", "_CVRDFNCS_5.HTML"}};
  for (const auto& [name, suffix] : cases) {
    block(page_of(name, suffix));
    auto c = capture([&] { EXPECT_FALSE(write(name, "x\n")); });
    EXPECT_EQ(c.err, std::string(suffix) == ".HTML"
                         ? "Unable to create root html file " + std::string(name) + "!\n"
                         : "Cannot open " + page_of(name, suffix) + " for output!\n");
  }
  EXPECT_FALSE(e2e::file_exists(dir_.file(page_of("list.c", ".HTML"))));
  auto gone = capture([&] { EXPECT_FALSE(write("gone.c", "gone")); });
  EXPECT_EQ(gone.err, "Error - Cannot open " + path_ + "!\n");
}

}  // namespace
}  // namespace vorel
