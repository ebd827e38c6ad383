// Names in the XML lists and the extension outputs: well-formed UTF-8 stays,
// anything else is read as Windows-1252; XML gets no character it cannot
// hold (the lists write '?' for it, the extensions U+FFFD).
#include "report/ext_text.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(ExtText, XmlTextOfAnyName) {
  const std::pair<std::string, std::string> cases[] = {
      {"ns::f(int) const", "ns::f(int) const"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},  // UTF-8 kept
      {"<&>\"']]>", "&lt;&amp;&gt;&quot;&apos;]]&gt;"},
      {"a\x01\x1f\x7f\tb\n\r", "a??\x7f&#9;b&#10;&#13;"},
      {"\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD", "??\xEF\xBF\xBD"},  // U+FFFE, U+FFFF; U+FFFD kept
      // Not UTF-8: the whole name is Windows-1252 (0x80 the euro sign).
      {"caf\xE9", "caf\xC3\xA9"},
      {"\x80\x01", "\xE2\x82\xAC?"},
      {"\xC3", "\xC3\x83"},                                // cut at the end
      {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},                // cut short
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                    // overlong '/'
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},    // a surrogate
      {"\xF4\x90\x80\x80", "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
  };
  for (const auto& [name, want] : cases) EXPECT_EQ(xml_text(name, "?"), want) << name;
  EXPECT_EQ(xml_text(std::string("\x01\t", 2)), "\xEF\xBF\xBD&#9;");
  EXPECT_EQ(json_text("a\"b\\c\n\x01\xE9"), "a\\\"b\\\\c\\u000a\\u0001\xC3\xA9");
}

}  // namespace
}  // namespace vorel
