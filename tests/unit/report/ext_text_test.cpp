// Names in the extension outputs: well-formed UTF-8 stays, anything else is
// read as Windows-1252; XML gets no character it cannot hold.
#include "report/ext_text.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(ExtText, Utf8OrWindows1252) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain.c", "plain.c"},
      {"caf\xC3\xA9.c", "caf\xC3\xA9.c"},             // UTF-8 kept
      {"caf\xE9.c", "caf\xC3\xA9.c"},                 // 1252 e-acute
      {"\x80", "\xE2\x82\xAC"},                       // 1252 euro sign
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},               // overlong '/' is no UTF-8
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate is no UTF-8
      {"\xF4\x90\x80\x80", "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
      {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},            // cut short
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(to_utf8_text(in), out) << in;
}

TEST(ExtText, XmlAndJsonEscapes) {
  EXPECT_EQ(xml_text("a&<>\"'b"), "a&amp;&lt;&gt;&quot;&apos;b");
  EXPECT_EQ(xml_text(std::string("\x01\t\x1F", 3)), "\xEF\xBF\xBD&#9;\xEF\xBF\xBD");
  EXPECT_EQ(xml_text("\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD"),
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // U+FFFE, U+FFFF replaced; U+FFFD kept
  EXPECT_EQ(json_text("a\"b\\c\n\x01\xE9"), "a\\\"b\\\\c\\u000a\\u0001\xC3\xA9");
}

}  // namespace
}  // namespace vorel
