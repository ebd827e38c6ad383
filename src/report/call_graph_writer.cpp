#include "report/call_graph_writer.h"

#include <cinttypes>

#include "profile/dpi.h"
#include "coverage/call_graph_model.h"
#include "report/readable_name_adapter.h"

namespace vorel {

namespace {

constexpr int kTargetsPerSite = 4;

}  // namespace

void CgCounters::add(const CgCounters& other) {
  functions += other.functions;
  direct_edges += other.direct_edges;
  direct_sum += other.direct_sum;
  indirect_sites += other.indirect_sites;
  indirect_sum += other.indirect_sum;
  virtual_sites += other.virtual_sites;
  virtual_sum += other.virtual_sum;
}

CallGraphWriter::CallGraphWriter(std::FILE* out, bool demangle, uint32_t runs, Resolver resolve)
    : out_(out), demangle_(demangle), runs_(runs ? runs : 1), resolve_(std::move(resolve)) {}

std::string CallGraphWriter::shown_name(const std::string& name) const {
  return readable_routine_name(name, demangle_);
}

void CallGraphWriter::write_stats(const char* tag, const std::string* name, uint64_t number,
                                  const CgCounters& c) {
  std::fprintf(out_, "%s ", tag);
  if (name) std::fprintf(out_, "\"%s\" ", name->c_str());
  std::fprintf(out_, "%d %d  %d %" PRIu64 "  %d %" PRIu64 "  %d %" PRIu64 "\n",
               static_cast<int>(number), static_cast<int>(c.functions),
               static_cast<int>(c.direct_edges), c.direct_sum, static_cast<int>(c.indirect_sites),
               c.indirect_sum, static_cast<int>(c.virtual_sites), c.virtual_sum);
}

void CallGraphWriter::open_module(std::string_view module) {
  if (module_open_) write_stats(".mstats", &module_, module_index_, module_counters_);
  ++module_index_;
  module_ = module;
  module_open_ = true;
  std::fprintf(out_, ".module %d \"%s\"\n", module_index_, module_.c_str());
  program_counters_.add(module_counters_);
  module_counters_ = CgCounters{};
}

void CallGraphWriter::write_direct_calls(const std::string& shown, const CgNode* node,
                                         CgCounters& counters) {
  if (!node || !node->executed) {
    std::fprintf(out_, "    .function \"%s\" %d 0 0\n", shown.c_str(), module_index_);
    return;
  }
  std::fprintf(out_, "    .function \"%s\" %d %d %" PRIu64 "\n", shown.c_str(), module_index_,
               node->value, cg_truncate(node->frequency));
  int number = 0;
  for (const CgEdge& edge : node->edges) {
    uint64_t count = cg_truncate(edge.count);
    std::fprintf(out_, "        .dcall %d 0 \"%s\" %d %" PRIu64 "\n", number++,
                 shown_name(edge.callee->name).c_str(), edge.value, count);
    counters.direct_edges += 1;
    counters.direct_sum += count;
  }
}

void CallGraphWriter::write_value_sites(const DpiRoutine& record, CgCounters& counters) {
  unsigned site_number = 0;
  for (const DpiValueSite& site : record.vp_sites) {
    // The site's block must be one of the record's blocks.
    cg_block_count(record, site.block_index);
    int block = static_cast<int>(site.block_index);
    bool wrote_indirect = false, wrote_virtual = false;
    unsigned target_number = 0;
    for (int t = 0; t < kTargetsPerSite; ++t) {
      const DpiValueTarget& target = site.targets[t];
      double quotient = static_cast<double>(target.count) / runs_;
      if (!(quotient > 0)) break;
      uint64_t count = cg_truncate(quotient);
      bool is_virtual = target.virtual_marker != 0;
      const std::string_view* callee = resolve_(target.address);
      std::string shown = callee ? shown_name(std::string(*callee)) : "(null)";
      std::fprintf(out_, "        %s %u %u \"%s\" %d %" PRIu64 "\n",
                   is_virtual ? ".vcall" : ".icall", site_number, target_number++, shown.c_str(),
                   block, count);
      (is_virtual ? counters.virtual_sum : counters.indirect_sum) += count;
      (is_virtual ? wrote_virtual : wrote_indirect) = true;
    }
    if (target_number == 0) {
      std::fprintf(out_, "        %s %u %u \"%s\" %d 0\n", ".icall", site_number, 0u, "(null)",
                   block);
      wrote_indirect = true;
    }
    if (wrote_indirect) counters.indirect_sites += 1;
    if (wrote_virtual) counters.virtual_sites += 1;
    ++site_number;
  }
}

void CallGraphWriter::function(std::string_view module, const DpiRoutine& record,
                               const CgNode* node) {
  if (!module_open_ || module != module_) open_module(module);
  std::string shown = shown_name(record.func_name);
  CgCounters counters;
  counters.functions = 1;
  write_direct_calls(shown, node, counters);
  write_value_sites(record, counters);
  bool ran = node && node->executed;
  std::fprintf(out_,
               "    .funstats \"%s\" %d %d %" PRIu64 "  %d %" PRIu64 "  %d %" PRIu64 "  %d %" PRIu64
               "\n",
               shown.c_str(), module_index_, ran ? node->value : 0,
               ran ? cg_truncate(node->frequency) : 0, static_cast<int>(counters.direct_edges),
               counters.direct_sum, static_cast<int>(counters.indirect_sites),
               counters.indirect_sum, static_cast<int>(counters.virtual_sites),
               counters.virtual_sum);
  module_counters_.add(counters);
}

void CallGraphWriter::finish() {
  if (!module_open_) return;
  write_stats(".mstats", &module_, module_index_, module_counters_);
  program_counters_.add(module_counters_);
  module_counters_ = CgCounters{};
  write_stats(".tstats", nullptr, module_index_ + 1, program_counters_);
  module_open_ = false;
}

}  // namespace vorel
