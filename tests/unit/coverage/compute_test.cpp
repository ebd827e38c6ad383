// The per-file computation on profiles written by the test writer and read
// by the real readers: position table, function tables, file entry, totals.
// What the full block lists receive is pinned end to end (lists, coverage).
#include "coverage/compute.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "coverage/component.h"
#include "coverage/coverage_options.h"
#include "coverage/markers.h"
#include "coverage/model.h"
#include "coverage/position_state.h"
#include "e2e/harness.h"
#include "profile/dpi.h"
#include "profile/spi.h"
#include "profile_writer/program.h"

namespace vorel {
namespace {

namespace pw = profile_writer;
using pw::routine;
using test_support::capture;

class ComputeFile : public ::testing::Test {
 protected:
  void TearDown() override { close(); }
  void close() {
    if (spi) spi_close(spi);
    if (dpi) dpi_close(dpi);
    if (ref_dpi) dpi_close(ref_dpi);
    spi = nullptr;
    dpi = ref_dpi = nullptr;
    model = CoverageModel();
  }
  // A source file of `lines` numbered lines (or the given text).
  std::string source(const std::string& name, int lines, std::string text = "") {
    for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + "\n";
    e2e::write_file(dir.file(name), text);
    return dir.file(name);
  }
  // One module holding the one source file `path`.
  pw::Program program(const std::string& path, std::vector<pw::Routine> routines) {
    pw::Program p;
    p.modules.push_back(pw::Module{"", dir.file("m.o"), {pw::SourceFile{"", path, std::move(routines)}}});
    return p;
  }
  // Writes and opens the profiles (and the reference profile when given).
  void open(const pw::Program& now, const pw::Program* ref = nullptr) {
    options.spi_file_name = dir.file("t.spi");
    options.dpi_file_name = dir.file("t.dpi");
    pw::write_spi(now, options.spi_file_name, pw::SpiLayout::kTextV8);
    pw::write_dpi(now, options.dpi_file_name, pw::DpiLayout::kSegmented);
    DpiOpenOptions open_options;
    open_options.check_duplicate_keys = !options.multiple_definitions;
    spi = spi_open(options.spi_file_name.c_str(), "");
    dpi = dpi_open(options.dpi_file_name.c_str(), open_options);
    ASSERT_TRUE(spi && dpi);
    if (ref) {
      options.differential = true;
      pw::write_dpi(*ref, dir.file("ref.dpi"), pw::DpiLayout::kSegmented);
      ref_dpi = dpi_open(dir.file("ref.dpi").c_str(), open_options);
      ASSERT_TRUE(ref_dpi);
    }
    model.components = build_component_list(spi, options, ComponentFilter(), "/tmp");
  }
  // Scans for markers and computes the group that starts at entry 0.
  bool compute(bool line_coverage = false) {
    model.reset_file();
    model.files.set_merge_mode(!line_coverage);
    const std::vector<Component>& entries = model.components.entries;
    model.scanner = MarkerScanner::scan_file(std::string(entries[0].file_name), markers,
                                             order_by_start_line(group_of(entries, 0)));
    return compute_file(ComputeContext{options, dpi, ref_dpi, model, nullptr}, 0, line_coverage);
  }
  PositionRecord at(uint32_t line, uint32_t column = 1) const {
    const PositionRecord* r = model.files.position(line, column);
    return r ? *r : PositionRecord{};
  }
  bool has(uint32_t line, uint32_t column = 1) const { return model.files.position(line, column); }
  int state(uint32_t line) const {
    PositionRecord r = at(line);
    return position_state(options.differential, r.count, r.is_new, r.blocks, r.covered, r.last_block);
  }
  const FileEntry& entry() const { return *model.files.current_entry(); }
  // "name(covered/blocks) " of the covered or the uncovered list.
  std::string names(bool covered) const {
    std::string out;
    for (const FunctionInfo* f : covered ? model.functions.covered() : model.functions.uncovered())
      out += f->readable_name + "(" + std::to_string(f->covered_blocks) + "/" +
             std::to_string(f->blocks) + ") ";
    return out;
  }

  e2e::TempDir dir;
  CoverageOptions options;
  MarkerLists markers;
  CoverageModel model;
  SpiFile* spi = nullptr;
  DpiFile* dpi = nullptr;
  DpiFile* ref_dpi = nullptr;
};

TEST_F(ComputeFile, PartialPositionsAndNoPartial) {
  open(program(source("b.c", 4), {routine("h", 2, 3, {{2, 1, 0}, {2, 1, 4}, {3, 1, 0}})}));
  compute();
  EXPECT_EQ(entry().covered_blocks, 1u);
  EXPECT_EQ(state(2), 4);
  options.no_partial = true;
  compute();
  EXPECT_EQ(entry().covered_blocks, 2u);  // both blocks at 2,1 count as covered
  EXPECT_EQ(at(2).uncovered, 0u);
  EXPECT_EQ(at(3).uncovered, 1u);        // a position with nothing covered stays
}

// With -ref: a block that ran in both runs counts 0 and is covered; a block
// new in a routine that ran before is an uncovered block; a routine that
// ran only now is newly covered; a routine that never ran gets no marks.
TEST_F(ComputeFile, DifferentialCoverage) {
  std::string d = source("d.c", 12);
  auto make = [&](uint64_t p1, uint64_t p2, uint64_t q, uint64_t r) {
    return program(d, {routine("p", 2, 3, {{2, 1, p1}, {3, 1, p2}}),
                       routine("q", 5, 6, {{5, 1, q}, {6, 1, q}}), routine("r", 8, 9, {{8, 1, r}})});
  };
  pw::Program now = make(3, 2, 4, 0), ref = make(1, 0, 0, 0);
  open(now, &ref);
  ASSERT_TRUE(compute());
  EXPECT_EQ(at(2).count, 0u);
  EXPECT_EQ(std::make_tuple(state(2), state(3), state(5)), std::make_tuple(3, 5, 6));
  EXPECT_TRUE(at(5).is_new);
  EXPECT_FALSE(has(8) || has(10));
  EXPECT_EQ(names(true) + names(false), "p(1/2) q(2/2) ");
  EXPECT_FALSE(model.components.entries[0].newly_covered);
  EXPECT_TRUE(model.components.entries[1].newly_covered);
  EXPECT_EQ(std::make_tuple(entry().functions, entry().covered_functions), std::make_tuple(3u, 2u));
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable | kFileCovered));
  // A file with nothing new is not written; one where every routine is new
  // goes to the uncovered list.
  close();
  pw::Program ran = program(d, {routine("p", 2, 3, {{2, 1, 3}})});
  pw::Program idle = program(d, {routine("p", 2, 3, {{2, 1, 0}})});
  open(ran, &ran);
  EXPECT_FALSE(compute());
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable));
  EXPECT_EQ(model.totals.covered_files, 0);
  close();
  open(ran, &idle);
  EXPECT_TRUE(compute());
  EXPECT_EQ(entry().flags, static_cast<uint32_t>(kFileReadable | kFileUncovered));
}

// Several routines on one line sum their counts (pinned end to end); the
// never-run mark stays when nothing on the line ran, and a sum saturates
// below it.
TEST(SummedLineCount, NeverRunMarkAndSaturation) {
  PositionRecord ran{}, never{};
  ran.routine = 1, ran.count = 4, never.routine = 2, never.count = kNeverExecuted;
  EXPECT_EQ(summed_line_count(std::vector<PositionRecord>{never, ran}), 4u);
  EXPECT_EQ(summed_line_count(std::vector<PositionRecord>{never}), kNeverExecuted);
  ran.count = kNeverExecuted - 2, never.count = 5, never.routine = 3;
  EXPECT_EQ(summed_line_count(std::vector<PositionRecord>{ran, never}), kNeverExecuted - 1);
}

TEST_F(ComputeFile, WarningsForMissingPositionsAndLineMaps) {
  std::string v = source("v.c", 6);
  pw::Routine flat = routine("v", 4, 5, {{0, 0, 1}, {0, 0, 0}});
  flat.position_mode = 0;
  open(program(v, {flat}));
  EXPECT_EQ(capture([&] { compute(); }).err,
            "No line number info for " + v + ": recompile with -Qprof_genx (instead of -Qprof_gen).\n"
            "...Assigning all exec counts to line 1 column 1.\n");
  EXPECT_EQ(std::make_tuple(at(4).blocks, at(4).count), std::make_tuple(2u, uint64_t{1}));  // at the start line
  close();
  pw::Routine no_maps = routine("f", 1, 3, {{2, 4, 3}});
  no_maps.write_line_maps = false;
  open(program(v, {no_maps}));
  EXPECT_EQ(capture([&] { compute(true); }).err,
            "Warning: Source line information not available in .spi file for " + v + "\n");
  EXPECT_EQ(at(2, 4).count, 3u);
  EXPECT_EQ(entry().lines, 0u);
}

}  // namespace
}  // namespace vorel
