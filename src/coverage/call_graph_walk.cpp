// The walk of the call graph: the static file read again, the dynamic
// records in file order (see call_graph_model.h).
#include <memory>
#include <vector>

#include "base/catalog.h"
#include "base/diag.h"
#include "coverage/call_graph_model.h"
#include "coverage/coverage_options.h"
#include "profile/dpi.h"
#include "profile/line_holder.h"
#include "profile/spi.h"

namespace vorel {

namespace {

struct SpiCloser {
  void operator()(SpiFile* f) const { spi_close(f); }
};

// Builds the graph over the static routines in the reader's order, each
// matched to its dynamic record by the block-count match. The static file is
// read on a handle of its own: the component list has consumed the driver's.
bool build_call_graph(const std::string& SpiName, const std::string& src_root, DpiFile* dpi,
                      CallGraph& graph) {
  // Closed also when a corrupt record ends the run.
  SpiOpenFailure failure{};
  std::unique_ptr<SpiFile, SpiCloser> spi(spi_open(SpiName.c_str(), src_root, &failure));
  if (!spi) {
    print_spi_open_failure(SpiName.c_str(), failure);
    return false;
  }
  SpiRoutineInfo info;
  for (;;) {
    int status = spi_next_routine(spi.get(), &info);
    if (status == 0) break;
    if (status < 0) catalog_error(kMsgCorruptSpiLine, SpiName.c_str(), spi_line_count(spi.get()));
    std::unique_ptr<DpiRoutine> record =
        dpi_match_by_block_count(dpi, info.file_name, info.routine_name, info.block_count);
    cg_add_routine(graph, *spi_current_routine(spi.get()), record.get(), dpi->runs);
  }
  return true;
}

// The index entries in the order of their records in the file; prints the
// corrupt-file message and ends the run when the index does not give every
// record exactly one place.
std::vector<const DpiIndexEntry*> entries_in_file_order(const DpiFile& dpi) {
  std::vector<const DpiIndexEntry*> ordered(dpi.index.size(), nullptr);
  bool complete = !ordered.empty() && dpi.index.size() == dpi.routine_count;
  for (const DpiIndexEntry& entry : dpi.index) {
    if (!complete) break;
    if (entry.file_order >= ordered.size() || ordered[entry.file_order]) complete = false;
    else ordered[entry.file_order] = &entry;
  }
  if (!complete) {
    print_err("%s is corrupt!\n", dpi.name.c_str());
    fatal_exit(1);
  }
  return ordered;
}

}  // namespace

RoutineResolver routine_resolver(DpiFile* dpi) {
  return [dpi](uint64_t address) {
    const DpiIndexEntry* target = dpi_resolve_routine_address(dpi, address);
    return target ? &target->func_name : nullptr;
  };
}

bool walk_call_graph(const CoverageOptions& options, DpiFile* dpi, const CallGraphVisit& visit) {
  if (dpi->routine_count == 0 && dpi->index.empty()) return true;
  std::vector<const DpiIndexEntry*> ordered = entries_in_file_order(*dpi);
  CallGraph graph(options.host);
  if (!build_call_graph(options.spi_file_name, options.src_root_dir, dpi, graph)) return false;
  for (const DpiIndexEntry* entry : ordered) {
    // A line holder carries lines, not a function: it has no place in the graph.
    if (is_line_holder_name(entry->func_name)) continue;
    std::unique_ptr<DpiRoutine> record = dpi_load_routine(dpi, *entry);
    if (!record) continue;  // no per-routine data: skipped
    bool is_static = false;
    const std::string_view module = call_graph_module(graph, *entry, *record, &is_static);
    visit(module, *record, graph.find(std::string(module), record->func_name, is_static));
  }
  return true;
}

}  // namespace vorel
