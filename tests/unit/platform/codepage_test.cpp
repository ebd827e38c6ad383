#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(Cp1252, ToUtf8) {
  const std::pair<const char*, const char*> cases[] = {
      {"int x = 1;\r\n", "int x = 1;\r\n"},
      {"caf\xe9", "caf\xc3\xa9"},  // the Latin-1 range maps to itself
      {"\xa0", "\xc2\xa0"},
      {"\xff", "\xc3\xbf"},
      {"\x80", "\xe2\x82\xac"},  // euro sign
      {"\x93\x94", "\xe2\x80\x9c\xe2\x80\x9d"},
      {"\x9f", "\xc5\xb8"},
      {"\x83", "\xc6\x92"},
      // Unassigned bytes become the replacement character.
      {"\x81\x8d\x8f\x90\x9d", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(cp1252_to_utf8(in), out);
}

}  // namespace
}  // namespace vorel
