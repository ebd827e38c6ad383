// Test fixture for the per-file computation: writes sources and a matching
// .spi/.dpi pair, opens them with the real readers and builds the model.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "coverage/block_list_sink.h"
#include "coverage/compute.h"
#include "coverage/markers.h"
#include "coverage/model.h"
#include "driver/settings.h"
#include "e2e/harness.h"
#include "profile/dpi.h"
#include "profile/spi.h"
#include "profile_writer/program.h"

namespace vorel::testing_support {

namespace pw = profile_writer;

// Records what the computation reports for the full block lists.
class RecordingSink : public BlockListSink {
 public:
  void begin_file(const std::string& name) override { log += "begin " + name + "\n"; }
  void end_file() override { log += "end\n"; }
  void function(const BlockListFunction& f) override;
  std::string log;
};

using pw::routine;

class ComputeFixture : public ::testing::Test {
 protected:
  void TearDown() override { close(); }
  // Closes the profiles and starts a fresh model (for a second open()).
  void close();

  // A source file of `lines` numbered lines (or the given text) in the temp dir.
  std::string source(const std::string& name, int lines);
  std::string source_text(const std::string& name, const std::string& text);
  // One module holding one source file per (path, routines).
  pw::Program program(const std::vector<std::pair<std::string, std::vector<pw::Routine>>>& files);

  // Writes the profiles (and the reference profile when given), opens them
  // and builds the component list.
  void open(const pw::Program& now, const pw::Program* ref = nullptr);
  // Scans for markers and computes the group that starts at `first`.
  bool compute(size_t first = 0, bool line_coverage = false);
  // The position record at (line, column), or a default record when none.
  PositionRecord at(uint32_t line, uint32_t column) const;
  bool has(uint32_t line, uint32_t column) const;
  const FileEntry& entry() const { return *model.files.current_entry(); }
  std::string covered_names() const;
  std::string uncovered_names() const;

  e2e::TempDir dir;
  Settings settings;
  MarkerLists markers;
  CoverageModel model;
  RecordingSink sink;
  bool use_sink = true;
  spi_file* spi = nullptr;
  dpi_file* dpi = nullptr;
  dpi_file* ref_dpi = nullptr;
};

}  // namespace vorel::testing_support
