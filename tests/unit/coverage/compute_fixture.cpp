#include "compute_fixture.h"

#include <cinttypes>

#include "coverage/component.h"

namespace vorel::testing_support {

void RecordingSink::function(const BlockListFunction& f) {
  char head[200];
  std::snprintf(head, sizeof head, "fn %s line=%u freq=%" PRIu64 " blocks=%u covered=%u [",
                f.name.c_str(), f.start_line, f.frequency, f.blocks, f.covered);
  log += head;
  for (const BlockDetail& d : f.details) {
    char one[64];
    std::snprintf(one, sizeof one, " %u:%u=%.0f", d.line, d.column, d.count);
    log += one;
  }
  log += " ]\n";
}

void ComputeFixture::close() {
  if (spi) SPI_close(spi);
  if (dpi) DPI_close(dpi);
  if (ref_dpi) DPI_close(ref_dpi);
  spi = nullptr;
  dpi = ref_dpi = nullptr;
  model = CoverageModel();
}

std::string ComputeFixture::source(const std::string& name, int lines) {
  std::string text;
  for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + "\n";
  return source_text(name, text);
}

std::string ComputeFixture::source_text(const std::string& name, const std::string& text) {
  e2e::write_file(dir.file(name), text);
  return dir.file(name);
}

pw::Program ComputeFixture::program(
    const std::vector<std::pair<std::string, std::vector<pw::Routine>>>& files) {
  pw::Program p;
  pw::Module m;
  m.name = dir.file("m.o");
  for (const auto& [path, routines] : files) {
    pw::SourceFile f;
    f.name = path;
    f.routines = routines;
    m.files.push_back(f);
  }
  p.modules.push_back(m);
  return p;
}

void ComputeFixture::open(const pw::Program& now, const pw::Program* ref) {
  settings.spi_file_name = dir.file("t.spi");
  settings.dpi_file_name = dir.file("t.dpi");
  pw::write_spi(now, settings.spi_file_name, pw::SpiLayout::kTextV8);
  pw::write_dpi(now, settings.dpi_file_name, pw::DpiLayout::kSegmented);
  DpiOpenOptions options;
  options.check_duplicate_keys = !settings.multiple_definitions;
  spi = SPI_open(settings.spi_file_name.c_str(), "");
  dpi = DPI_open(settings.dpi_file_name.c_str(), options);
  ASSERT_TRUE(spi && dpi);
  if (ref) {
    settings.differential = true;
    settings.ref_dpi_file_name = dir.file("ref.dpi");
    pw::write_dpi(*ref, *settings.ref_dpi_file_name, pw::DpiLayout::kSegmented);
    ref_dpi = DPI_open(settings.ref_dpi_file_name->c_str(), options);
    ASSERT_TRUE(ref_dpi);
  }
  model.components = build_component_list(spi, settings, ComponentFilter(), "/tmp");
}

bool ComputeFixture::compute(size_t first, bool line_coverage) {
  model.reset_file();
  model.files.set_merge_mode(!line_coverage);
  const std::vector<component>& entries = model.components.entries;
  std::vector<const component*> by_start = order_by_start_line(group_of(entries, first));
  model.scanner = MarkerScanner::scan_file(entries[first].fileName, markers, by_start);
  ComputeContext ctx{settings, dpi, ref_dpi, model, use_sink ? &sink : nullptr};
  return compute_file(ctx, first, line_coverage);
}

PositionRecord ComputeFixture::at(uint32_t line, uint32_t column) const {
  const PositionRecord* r = model.files.position(line, column);
  return r ? *r : PositionRecord{};
}

bool ComputeFixture::has(uint32_t line, uint32_t column) const {
  return model.files.position(line, column) != nullptr;
}

namespace {
std::string describe(const std::vector<const FunctionInfo*>& list) {
  std::string out;
  for (const FunctionInfo* f : list)
    out += f->readable_name + "(" + std::to_string(f->covered_blocks) + "/" +
           std::to_string(f->blocks) + ") ";
  return out;
}
}  // namespace

std::string ComputeFixture::covered_names() const { return describe(model.functions.covered()); }
std::string ComputeFixture::uncovered_names() const {
  return describe(model.functions.uncovered());
}

}  // namespace vorel::testing_support
