#include "report/html_text.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(HtmlText, EscapesMarkupAndKeepsOrdinaryText) {
  EXPECT_EQ(html_escape("a<b>&c\"d'e"), "a&lt;b&gt;&amp;c&quot;d'e");
  EXPECT_EQ(html_escape("/src/main.c"), "/src/main.c");
  EXPECT_EQ(html_escape(std::string("\xC3\xA9\t", 3)), std::string("\xC3\xA9\t", 3));
}

TEST(HtmlText, LinkTargetsPercentEncodeUrlSyntaxOnly) {
  EXPECT_EQ(href_path("_SRC_MAIN_C_SRC.HTML"), "_SRC_MAIN_C_SRC.HTML");
  EXPECT_EQ(href_path("CodeCoverage/__CODE_COVERAGE.HTML"), "CodeCoverage/__CODE_COVERAGE.HTML");
  EXPECT_EQ(href_path("A B#C?D%E\"F<G>&H.HTML"), "A%20B%23C%3FD%25E%22F%3CG%3E%26H.HTML");
  EXPECT_EQ(href_path("\xC3\xA9+X"), "%C3%A9+X");
}

TEST(HtmlText, QueryValuesEncodeEverythingButUnreserved) {
  EXPECT_EQ(url_query_value("main_1.x-y~"), "main_1.x-y~");
  EXPECT_EQ(url_query_value("?f@@YAHXZ"), "%3Ff%40%40YAHXZ");
  EXPECT_EQ(url_query_value("a&b=c d\"><"), "a%26b%3Dc%20d%22%3E%3C");
}

TEST(HtmlText, FunctionNamesDropAtDigitsAndEscape) {
  EXPECT_EQ(function_name_text("_foo@12"), "_foo");
  EXPECT_EQ(function_name_text("a@b@1c"), "ab1c");    // digits not at the end: '@' alone
  EXPECT_EQ(function_name_text("x@"), "x");           // no digits: '@' alone
  EXPECT_EQ(function_name_text("operator<"), "operator&lt;");
  EXPECT_EQ(function_name_text("f(int&)->x"), "f(int&amp;)-&gt;x");
  EXPECT_EQ(function_name_text("main"), "main");
}

}  // namespace
}  // namespace vorel
