#include "report/html_text.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

// Names with markup and the '@' of profile names in whole pages are pinned by
// the end-to-end tests; these are the characters those pages do not show.
TEST(HtmlText, EscapingAndEncoding) {
  EXPECT_EQ(html_escape("a<b>&c\"d'e\xC3\xA9\t"), "a&lt;b&gt;&amp;c&quot;d'e\xC3\xA9\t");
  EXPECT_EQ(href_path("Code/A B#C?D%E\"F<G>&H.HTML"), "Code/A%20B%23C%3FD%25E%22F%3CG%3E%26H.HTML");
  EXPECT_EQ(href_path("\xC3\xA9+X"), "%C3%A9+X");
  EXPECT_EQ(url_query_value("main_1.x-y~?@&= \"><"), "main_1.x-y~%3F%40%26%3D%20%22%3E%3C");
}

TEST(HtmlText, FunctionNamesDropAtDigitsAndEscape) {
  EXPECT_EQ(function_name_text("_foo@12"), "_foo");
  EXPECT_EQ(function_name_text("a@b@1c"), "ab1c");  // digits not at the end: '@' alone
  EXPECT_EQ(function_name_text("x@"), "x");         // no digits: '@' alone
  EXPECT_EQ(function_name_text("f(int&)->x<"), "f(int&amp;)-&gt;x&lt;");
}

}  // namespace
}  // namespace vorel
