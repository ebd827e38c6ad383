// XML attribute text of the lists: ordinary names as they are, everything
// else so that the list stays well-formed.
#include "report/list_format.h"

#include <gtest/gtest.h>

#include "mem_stream.h"

namespace vorel {
namespace {

TEST(ListFormat, XmlAttributeText) {
  const std::pair<std::string, std::string> cases[] = {
      {"ns::f(int) const", "ns::f(int) const"},
      {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},  // UTF-8 kept
      {"<&>\"']]>", "&lt;&amp;&gt;&quot;&apos;]]&gt;"},
      {"a\x01\x1f\x7f\tb\n\r", "a??\x7f&#9;b&#10;&#13;"},
      {"\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD", "??\xEF\xBF\xBD"},  // U+FFFE, U+FFFF; U+FFFD kept
      // Not UTF-8 (a lone byte, a cut sequence, an overlong form, a
      // surrogate): the whole name is Windows-1252.
      {"caf\xE9", "caf\xC3\xA9"},
      {"\x80\x01", "\xE2\x82\xAC?"},
      {"\xC3", "\xC3\x83"},
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
  };
  for (const auto& [name, want] : cases) {
    MemStream out;
    write_xml_attribute(out.get(), name);
    EXPECT_EQ(out.text(), want) << name;
  }
}

}  // namespace
}  // namespace vorel
