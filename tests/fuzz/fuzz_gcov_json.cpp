// Fuzz target: the importer's reader of gcov JSON (gzip-compressed or plain,
// one document or gcov's stream of them), the program builder on what it
// reads, and the exclusion-marker scanner on the same bytes as a source. It must never crash, hang or
// allocate without bound; a malformed input is a reported failure.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import_gcov/exclusion_markers.h"
#include "import_gcov/import.h"
#include "import_gcov/program_builder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  import_gcov::GcovUnit unit;
  std::string error;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)import_gcov::scan_exclusion_markers(bytes);
  std::vector<import_gcov::GcovUnit> units;
  (void)import_gcov::parse_gcov_documents(bytes, &units, &error);
  if (!import_gcov::parse_gcov_bytes(bytes, &unit, &error)) return 0;
  import_gcov::ProgramBuilder builder;
  if (!builder.add(unit, &error)) return 0;
  import_gcov::ImportSummary summary;
  (void)builder.finish(1, &summary);
  return 0;
}
