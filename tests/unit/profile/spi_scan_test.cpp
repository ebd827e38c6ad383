// The record-word scanner: the written form and every other spelling the
// general scanner accepts give the same words.
#include "profile/spi_scan.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Words = std::array<uint32_t, 8>;

TEST(SpiScan, RecordWords) {
  const Words sample{1, 2, 10, 255, 16, 0, 1, 0xffffffff};
  struct Case {
    const char* text;
    bool ok;
    Words words;
  } cases[] = {
      {"01 00000002 0000000a 000000ff 00000010 00000000 00000001 ffffffff", true, sample},
      {"01 00000002 0000000A 000000FF 00000010 00000000 00000001 FFFFFFFF\r", true, sample},
      {"01 00000002 0000000a 000000ff 00000010 00000000 00000001 ffffffff junk", true, sample},
      // A ninth digit belongs to the last word (which then saturates).
      {"01 00000002 0000000a 000000ff 00000010 00000000 00000001 ffffffff0", true,
       {1, 2, 10, 255, 16, 0, 1, 0xffffffff}},
      {"01 00000002 0000000a 000000ff 00000010 00000000 00000000 000000012", true,
       {1, 2, 10, 255, 16, 0, 0, 0x12}},
      // Other spacing, "0x", a sign: the general rules.
      {" 1 2 a ff\t10 0 1 ffffffff", true, sample},
      {"01 0x2 0000000a 000000ff 00000010 00000000 00000001 -1", true, sample},
      {"01  00000002 0000000a 000000ff 00000010 00000000 00000001 ffffffff", true, sample},
      {"01 00000002 0000000a", false, {}},
      {"01 00000002 0000000g 000000ff 00000010 00000000 00000001 ffffffff", false, {}},
  };
  for (const Case& c : cases) {
    Words got{};
    EXPECT_EQ(vorel::scan_record_words(c.text, got.data()), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(got, c.words) << c.text;
    }
  }
}

}  // namespace
