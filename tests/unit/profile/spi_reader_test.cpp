// The static profile reader on the record layouts (versions 5 to 8).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "profile/spi.h"
#include "profile_writer/program.h"
#include "spi_test_support.h"

namespace {

namespace pw = profile_writer;
using pw::SpiLayout;
using spi_test::hand_file;
using spi_test::read_all;
using testing::ElementsAre;
using testing::HasSubstr;

// Two modules, written "zeta.c" first; "alpha.c" sorts first by short name
// (by full name "/build/zeta.c" would).
pw::Program sample() {
  pw::Routine zmain = pw::routine("zmain", 10, 20, {{}, {0, 0, 0, {11}}, {0, 0, 0, {12, 13, 14, 15, 16, 17, 18, 19, 20, 21}}});
  zmain.routine_flag = true;
  zmain.extra_blocks = 2;
  zmain.calls = {{"helper", 1, 12, true}, {"(indirect)", 2, 15, false}};
  zmain.data_refs = {{"gvar", 5, 6}};
  pw::Routine helper = pw::routine("helper", 3, 8, {{0, 0, 0, {3, 4, 5, 6, 7, 8, 9}}, {0, 0, 0, {8}}});
  helper.is_static = true;
  pw::Routine unused = pw::routine("unused", 1, 1, {});
  unused.in_spi = false;
  pw::Routine tail = pw::routine("tail", 30, 31, {{}});
  tail.has_extent = false;
  tail.write_line_maps = false;
  pw::Program p;
  p.modules = {{"/build/", "zeta.c", {{"/build/", "/src/zeta.c", {zmain}}}},
               {"", "alpha.c", {{"", "alpha.c", {helper, unused, tail}}}}};
  return p;
}

const char* const kHelperV8 =
    "helper file=alpha.c [-|alpha.c] module=alpha.c [-|alpha.c] v8 3:1-8:1 blocks=2 b=0 S flag=0"
    " map0(7,0): 3 4 5 6 7 8 9 map1(1,0): 8";
const char* const kTailV8 =
    "tail file=alpha.c [-|alpha.c] module=alpha.c [-|alpha.c] v8 30:0-0:0 blocks=1 b=0 E flag=0";
const char* const kZmainV8 =
    "zmain file=/home/u/src/zeta.c [/home/u|/src/zeta.c] module=/home/u/zeta.c [/home/u|zeta.c]"
    " v8 10:1-20:1 blocks=3 b=2 E flag=1 map0(0,0): map1(1,0): 11"
    " map2(10,0): 12 13 14 15 16 17 18 19 20 21"
    " call helper/1/12/1 call (indirect)/2/15/0 data gvar/5/6";

std::string read_as(SpiLayout layout, const std::string& root, int line = 0) {
  e2e::TempDir dir;
  pw::write_spi(sample(), dir.file("s.spi"), layout);
  auto res = read_all(dir.file("s.spi"), root);
  EXPECT_EQ(res.last, 0);
  return res.routines.at(line);
}

TEST(SpiReader, EveryRecordLayoutReadsTheSample) {
  e2e::TempDir dir;
  pw::write_spi(sample(), dir.file("t.spi"), SpiLayout::kTextV8);
  pw::write_spi(sample(), dir.file("b.spi"), SpiLayout::kBinaryV8);
  auto text = read_all(dir.file("t.spi"), "/home/u");
  EXPECT_THAT(text.routines, ElementsAre(kHelperV8, kTailV8, kZmainV8));
  EXPECT_EQ(read_all(dir.file("b.spi"), "/home/u").routines, text.routines);
  std::string helper7 = kHelperV8;
  helper7.replace(helper7.find(" v8 "), 4, " v7 ");
  EXPECT_EQ(read_as(SpiLayout::kTextV7, "/home/u/"), helper7);
  // Version 6 has neither extents nor line maps.
  EXPECT_EQ(read_as(SpiLayout::kTextV6, ""),
            "helper file=alpha.c [-|alpha.c] module=alpha.c [-|alpha.c] v6 3:0-0:0 blocks=2 b=0 S flag=0");
  EXPECT_THAT(read_as(SpiLayout::kTextV6, "", 2), HasSubstr(" v6 10:0-0:0 blocks=3 b=2 E flag=1 call helper/1/12/1"));
  // Without a configured root a stored root is dropped; a separator is put
  // between root and name only when neither has one.
  EXPECT_THAT(read_as(SpiLayout::kTextV8, "", 2), HasSubstr("file=/src/zeta.c [|/src/zeta.c] module=zeta.c [|zeta.c]"));
  EXPECT_THAT(read_as(SpiLayout::kTextV8, "/r/", 2),
              HasSubstr("file=/r//src/zeta.c [/r/|/src/zeta.c] module=/r/zeta.c [/r/|zeta.c]"));
}

std::string rec(int kind, uint32_t w1 = 0, uint32_t w2 = 0, uint32_t w3 = 0, uint32_t w4 = 0,
                uint32_t w5 = 0, uint32_t w6 = 0, uint32_t w7 = 0) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%02x %08x %08x %08x %08x %08x %08x %08x", kind, w1, w2, w3, w4, w5,
                w6, w7);
  return buf;
}

// Routine f (name id 1) of module 1 in file 1, starting at line 5.
const std::string kF = rec(1, 1, 1, 1, 5, 2, 0, 0);

spi_test::ReadResult read_hand(const std::vector<spi_test::HandModule>& modules) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("h.spi"), hand_file(modules));
  return read_all(dir.file("h.spi"));
}

TEST(SpiReader, MalformedRecordsEndTheRoutineIteratorWithMinusOne) {
  const std::vector<std::string> bad[] = {
      {kF, "01 00000001 00000001 00000001 00000005 00000002 00000000"},  // seven fields
      {kF, "0x2 00000001 00000001 00000001 00000002 00000000 00000001 00000000"},  // kind 0, w0 2
      {kF, rec(2, 1, 1, 1, 9, 0, 1, 0)},  // callee id unresolved
      {kF, rec(3, 1, 1, 1, 9, 0, 0, 0)},  // data id unresolved
      {kF, rec(2, 1, 7, 1, 2, 0, 1, 0)},  // file id unresolved
      {kF, rec(4, 1, 1, 2, 5, 1, 9, 1)},  // extent of another routine
      {rec(1, 5, 1, 1, 5, 2, 0, 0)},      // module id unresolved
  };
  for (const auto& records : bad) {
    auto res = read_hand({{"m", records}});
    EXPECT_EQ(res.last, -1) << records.back();
    EXPECT_TRUE(res.routines.empty()) << records.back();
    EXPECT_EQ(res.line, static_cast<int>(records.size()) + 1) << records.back();
  }
}

TEST(SpiReader, VersionFiveEmptyFilesAndDirectories) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("v5.spi"), "V05\r\n01 00000001\r\n");
  auto v5 = read_all(dir.file("v5.spi"));
  EXPECT_EQ(v5.version, 5);
  EXPECT_EQ(v5.last, -1);
  e2e::write_file(dir.file("empty.spi"), "");
  auto empty = read_all(dir.file("empty.spi"));
  EXPECT_EQ(empty.version, 0);
  EXPECT_EQ(empty.last, 0);
  // Foreign and missing files are pinned end to end.
  EXPECT_EQ(vorel::spi_open(dir.path().c_str(), ""), nullptr);  // a directory
}

}  // namespace
