// The static profile reader on the old free-text layout (versions 1 to 4).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "profile/spi.h"
#include "profile_writer/program.h"
#include "spi_test_support.h"

namespace {

namespace pw = profile_writer;
using pw::SpiLayout;
using spi_test::read_all;
using testing::ElementsAre;

pw::Program sample() {
  pw::Routine f = pw::routine("f", 3, 3, {{}, {}});
  f.is_static = true;
  f.extra_blocks = 1;
  f.calls = {{"g", 0, 4, false}, {"(indirect)", 1, 5, true}};
  f.data_refs = {{"d", 7, 8}};
  pw::Program p;
  // Old files keep file order: "m.c" comes before "a.c".
  p.modules = {{"/b/", "m.c", {{"/b/", "src/a.c", {f}}}},
               {"", "a.c", {{"", "b.c", {pw::routine("g", 9, 9, {{}})}}}}};
  return p;
}

const char* const kCalls = " call g/0/4/0 call (indirect)/1/5/1 data d/7/8";

TEST(SpiOld, Versions3And4ComposeNamesWithTheSourceRoot) {
  for (SpiLayout layout : {SpiLayout::kOldV3, SpiLayout::kOldV4}) {
    e2e::TempDir dir;
    pw::write_spi(sample(), dir.file("o.spi"), layout);
    std::string v = layout == SpiLayout::kOldV3 ? "v3" : "v4";
    auto rooted = read_all(dir.file("o.spi"), "/r");
    EXPECT_THAT(rooted.routines,
                ElementsAre("f file=/r/src/a.c [/r|src/a.c] module=/r/m.c [/r|m.c] " + v +
                                " 3:0-0:0 blocks=2 b=1 S flag=0" + kCalls,
                            "g file=b.c [-|b.c] module=a.c [-|a.c] " + v + " 9:0-0:0 blocks=1 b=0 E flag=0"));
    EXPECT_EQ(rooted.last, 0);
    // Without a configured root the stored root stays.
    EXPECT_THAT(read_all(dir.file("o.spi")).routines[0],
                testing::StartsWith("f file=/b/src/a.c [/b/|src/a.c] module=/b/m.c [/b/|m.c] "));
  }
}

TEST(SpiOld, UnreadableEntriesStopTheRunNamingTheirLine) {
  using namespace std::string_literals;
  const std::string bad[] = {
      "g 1 1",                         // fallback entry without linkage
      "V3 -1 1 0 1 1 a m f 1 1 0 E",   // negative length
      "V3 0 0 0 1 1 a m f 1 1 0 E",    // empty name
      "V2 1 1 1 a m f x 1 0 E",        // start line not a number
      "V2 2 3 3 abc m.c f 1 1 1 E",    // width 2 cuts "abc": "f" becomes the start line
      "V1 1 1 1 a m f 1 1 E C g 0",    // call site cut short
      "V1 1 1 1 a m f 1 1 E D d 1 x",  // data value not a number
      "V1 1 1 1 a m f 1 1 E X",        // unknown item on the rest of the line
      "V3 0 3 0 1 1 a\0c m f 1 1 0 E"s,  // NUL inside the file name
      "V1 1 1 3 a m f\0g 1 1 E"s,        // NUL inside the routine name (width 3)
      "V1 1 1 1 a m f 1 1 E C g\0h 0 1 0"s,  // NUL inside a callee
  };
  for (const std::string& entry : bad) {
    e2e::TempDir dir;
    std::string path = dir.file("o.spi");
    e2e::write_file(path, "V1 1 1 1 a m f 1 1 E\r\n\r\n" + entry + "\r\n");
    std::vector<std::string> read;
    auto stop = test_support::capture([&] {
      std::unique_ptr<vorel::SpiFile, void (*)(vorel::SpiFile*)> f(vorel::spi_open(path.c_str(), ""),
                                                                    vorel::spi_close);
      vorel::SpiRoutineInfo info;
      while (vorel::spi_next_routine(f.get(), &info) == 1) read.push_back(info.routine_name);
    });
    EXPECT_EQ(stop.status, 1) << entry;
    EXPECT_EQ(stop.err, "vorelcov: error #11003: Corrupt spi file '" + path + "', header on line 3\n")
        << entry;
    EXPECT_THAT(read, ElementsAre("f")) << entry;
  }
}

}  // namespace
