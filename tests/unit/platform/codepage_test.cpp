#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(Cp1252, AsciiUnchanged) { EXPECT_EQ(cp1252_to_utf8("int x = 1;\r\n"), "int x = 1;\r\n"); }

TEST(Cp1252, LatinRangeMapsToItself) {
  EXPECT_EQ(cp1252_to_utf8("caf\xe9"), "caf\xc3\xa9");
  EXPECT_EQ(cp1252_to_utf8("\xa0"), "\xc2\xa0");
  EXPECT_EQ(cp1252_to_utf8("\xff"), "\xc3\xbf");
}

TEST(Cp1252, HighControlBlock) {
  EXPECT_EQ(cp1252_to_utf8("\x80"), "\xe2\x82\xac");  // euro sign
  EXPECT_EQ(cp1252_to_utf8("\x93\x94"), "\xe2\x80\x9c\xe2\x80\x9d");  // curly quotes
  EXPECT_EQ(cp1252_to_utf8("\x9f"), "\xc5\xb8");      // Y with diaeresis
  EXPECT_EQ(cp1252_to_utf8("\x83"), "\xc6\x92");      // f with hook
}

TEST(Cp1252, UnassignedBytesBecomeReplacementCharacter) {
  for (char c : std::string("\x81\x8d\x8f\x90\x9d"))
    EXPECT_EQ(cp1252_to_utf8(std::string(1, c)), "\xef\xbf\xbd") << int(static_cast<unsigned char>(c));
}

}  // namespace
}  // namespace vorel
