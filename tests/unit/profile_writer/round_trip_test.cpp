// The product profile writer: every layout reads back as the description
// that was written, and descriptions a reader would reject are refused.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e/harness.h"
#include "profile/dpi.h"
#include "profile/spi.h"
#include "profile_writer/program.h"

namespace {

namespace pw = profile_writer;
using pw::DpiLayout;
using pw::SpiLayout;

pw::Program sample() {
  pw::Routine add = pw::routine("add", 3, 9, {{3, 1, 7, {3}}, {4, 5, 0, {4, 5, 6, 7, 8, 9, 10, 11, 12}}});
  add.calls = {{"helper", 1, 4, true}};
  add.data_refs = {{"table", 1, 2}};
  pw::Routine helper = pw::routine("helper", 20, 22, {{20, 1, 0, {21}}});
  helper.is_static = true;
  helper.external = false;
  pw::Program p;
  p.runs = 2;
  p.modules = {pw::module("/build/", "calc.c", {add}), pw::module("", "util.c", {helper})};
  return p;
}

// What a static file reads back as: per routine name, start line, block
// count, linkage, call sites and (v7+) line maps.
std::vector<std::string> read_spi(const std::string& path) {
  std::vector<std::string> out;
  vorel::SpiFile* f = vorel::spi_open(path.c_str(), "/r/");
  if (!f) return {"<cannot open>"};
  vorel::SpiRoutineInfo info;
  while (vorel::spi_next_routine(f, &info) == 1) {
    const vorel::SpiRoutine* r = vorel::spi_current_routine(f);
    // Appends only: "literal" + std::string temporaries trip a false -Wrestrict of g++ 12.
    std::string s = info.routine_name;
    auto add = [&s](const char* sep, const std::string& text) {
      s += sep;
      s += text;
    };
    add(" ", info.file_name);
    add(" ", std::to_string(info.start_line));
    add(" ", std::to_string(info.block_count));
    s += info.linkage;
    for (const auto& c : r->call_sites) {
      add(" call ", c.callee);
      add("/", std::to_string(c.line));
    }
    for (const auto& m : r->line_maps) {
      add(" map", std::to_string(m.block_index));
      s += ":";
      for (uint32_t e : m.entries) add(" ", std::to_string(e));
    }
    out.push_back(s);
  }
  vorel::spi_close(f);
  return out;
}

TEST(ProfileWriter, EveryStaticLayoutReadsBack) {
  const std::vector<std::string> old_form = {"add /build/calc.c 3 2E call helper/4", "helper util.c 20 1S"};
  // Versions 1 and 2 store full names; the others the root apart, which gives way to the source root.
  const std::vector<std::string> v6 = {"add /r/calc.c 3 2E call helper/4", "helper util.c 20 1S"};
  const std::vector<std::string> v7 = {"add /r/calc.c 3 2E call helper/4 map0: 3 map1: 4 5 6 7 8 9 10 11 12",
                                       "helper util.c 20 1S map0: 21"};
  const struct {
    SpiLayout layout;
    const std::vector<std::string>* expected;
  } cases[] = {{SpiLayout::kOldV1, &old_form}, {SpiLayout::kOldV2, &old_form}, {SpiLayout::kOldV3, &v6},
               {SpiLayout::kOldV4, &v6}, {SpiLayout::kTextV6, &v6},      {SpiLayout::kTextV7, &v7},
               {SpiLayout::kTextV8, &v7},      {SpiLayout::kBinaryV8, &v7}};
  for (const auto& c : cases) {
    e2e::TempDir dir;
    std::string error;
    ASSERT_TRUE(pw::write_spi(sample(), dir.file("s.spi"), c.layout, &error)) << error;
    EXPECT_EQ(read_spi(dir.file("s.spi")), *c.expected) << static_cast<int>(c.layout);
  }
}

TEST(ProfileWriter, EveryDynamicLayoutReadsBack) {
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    e2e::TempDir dir;
    std::string error;
    ASSERT_TRUE(pw::write_dpi(sample(), dir.file("d.dpi"), layout, &error)) << error;
    std::unique_ptr<vorel::DpiFile, vorel::DpiFileCloser> f(vorel::dpi_open(dir.file("d.dpi").c_str(), {}));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->runs, 2u);
    std::vector<std::string> got;
    for (const vorel::DpiIndexEntry& e : f->index) {
      std::unique_ptr<vorel::DpiRoutine> r = vorel::dpi_load_routine(f.get(), e);
      std::string s = r->func_name;
      auto add = [&s](const char* sep, uint64_t v) {
        s += sep;
        s += std::to_string(v);
      };
      s += " ";
      s += r->file_name;
      add(" x", e.entry_exec_count);
      for (const vorel::DpiBlock& b : r->blocks) {
        add(" ", b.count);
        add("@", b.start_line);
        add(":", b.start_col);
      }
      got.push_back(s);
    }
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::string>{"add /build/calc.c x3 7@3:1 0@4:5", "helper util.c x0 0@20:1"}))
        << static_cast<int>(layout);
  }
}

TEST(ProfileWriter, RefusesWhatAReaderWouldRejectAndWritesNothing) {
  auto with = [](auto change) {
    pw::Program p = sample();
    change(p.modules[0].files[0].routines[0]);
    return p;
  };
  const struct {
    pw::Program program;
    bool spi;
    SpiLayout spi_layout;
    DpiLayout dpi_layout;
  } cases[] = {
      {with([](pw::Routine& r) { r.name = "a b"; }), true, SpiLayout::kOldV2, {}},
      {with([](pw::Routine& r) { r.name = "a\nb"; }), true, SpiLayout::kTextV8, {}},
      {with([](pw::Routine& r) { r.calls[0].callee = ""; }), true, SpiLayout::kOldV4, {}},
      {with([](pw::Routine& r) { r.blocks[0].lines = {0}; }), true, SpiLayout::kBinaryV8, {}},
      {with([](pw::Routine& r) { r.blocks[0].count = ~0ull; }), false, {}, DpiLayout::kSegmentedToc},
      {with([](pw::Routine& r) { r.position_mode = 2; r.blocks[0].col = 1024; }), false, {}, DpiLayout::kSegmented},
      {with([](pw::Routine& r) { r.name = std::string("a\0b", 3); }), false, {}, DpiLayout::kFixed},
  };
  for (const auto& c : cases) {
    e2e::TempDir dir;
    std::string error;
    bool ok = c.spi ? pw::write_spi(c.program, dir.file("p"), c.spi_layout, &error)
                    : pw::write_dpi(c.program, dir.file("p"), c.dpi_layout, &error);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find(dir.file("p") + ": "), std::string::npos) << error;
    EXPECT_EQ(dir.read("p"), "<missing p>");
  }
}

TEST(ProfileWriter, AnUnwritablePathIsAFailureNotAStop) {
  std::string error;
  EXPECT_FALSE(pw::write_spi(sample(), "/nonexistent-dir/x.spi", SpiLayout::kTextV8, &error));
  EXPECT_NE(error.find("cannot write /nonexistent-dir/x.spi"), std::string::npos) << error;
}

}  // namespace
