// The product profile writer refuses descriptions a reader would reject.
// That every layout reads back as written is pinned by the reader tests
// (spi_old_test, spi_reader_test, dpi_layout_test), which write their
// inputs with this writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/harness.h"
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
