#include "coverage/call_graph_model.h"

#include "profile/dpi.h"
#include "profile/file_access.h"
#include "profile/lookup_key.h"
#include "profile/spi.h"
#include "coverage/block_rules.h"

namespace vorel {

namespace {

// The line of the block-count accessor in the profile library.
constexpr int kBlockAccessorLine = 1416;

size_t bucket_of(const std::string& key) {
  uint64_t h = 0;
  for (unsigned char c : key) h = h * 31 + c;
  return static_cast<size_t>(h % CallGraph::kBuckets);
}

float per_run(uint64_t count, uint32_t runs) {
  // A file without runs is refused when it is opened; guard the division anyway.
  return static_cast<float>(count) / static_cast<float>(runs ? runs : 1);
}

// The entry count of the routine: the count of the block of the entry point
// named like the routine.
uint64_t entry_count(const DpiRoutine& record, const std::string& name) {
  for (const DpiEntryPoint& e : record.entries)
    if (e.name == name) return cg_block_count(record, e.block_index);
  return 0;
}

}  // namespace

std::string cg_node_key(const std::string& module, const std::string& name, bool is_static) {
  return is_static ? module + " " + name : name;
}

CgNode* CallGraph::locate(const std::string& key) const {
  for (const auto& node : buckets_[bucket_of(key)])
    if (node->key == key) return node.get();
  return nullptr;
}

const CgNode* CallGraph::find(const std::string& module, const std::string& name,
                              bool is_static) const {
  return locate(cg_node_key(module, name, is_static));
}

CgNode& CallGraph::find_or_make(const std::string& module, const std::string& name,
                                bool is_static) {
  std::string key = cg_node_key(module, name, is_static);
  if (CgNode* found = locate(key)) return *found;
  auto node = std::make_unique<CgNode>();
  node->key = key;
  node->name = name;
  CgNode& made = *node;
  buckets_[bucket_of(key)].push_back(std::move(node));
  ++node_count_;
  return made;
}

void CallGraph::add_definition(const std::string& file, const std::string& name,
                               CgDefinition def) {
  definitions_[routine_key(rules_, file, name)].push_back(std::move(def));
}

const std::vector<CgDefinition>* CallGraph::definitions(std::string_view file,
                                                         std::string_view name) const {
  auto it = definitions_.find(routine_key(rules_, file, name));
  return it == definitions_.end() ? nullptr : &it->second;
}

uint64_t cg_block_count(const DpiRoutine& record, uint64_t i) {
  if (i >= record.block_cnt || i >= record.blocks.size())
    assertx_fail(kAccessorPath, kBlockAccessorLine, "i < dpi->block_cnt");
  return record.blocks[i].count;
}

uint64_t cg_truncate(double value) {
  if (!(value > 0)) return 0;
  if (value >= 18446744073709551616.0) return UINT64_MAX;
  return static_cast<uint64_t>(value);
}

void cg_add_routine(CallGraph& graph, const SpiRoutine& routine, const DpiRoutine* record,
                    uint32_t runs) {
  const SpiRoutineInfo& info = routine.info;
  bool is_static = info.linkage == 'S';
  graph.add_definition(info.file_name, info.routine_name,
                       CgDefinition{info.module_name, info.block_count, is_static});

  CgNode& node = graph.find_or_make(info.module_name, info.routine_name, is_static);
  if (record) {
    // A routine defined more than once adds up on its one node, each dynamic
    // record once: definitions that match the same record share its count.
    node.executed = node.executed || routine_executed(record);
    node.value = static_cast<int32_t>(record->func_number);
    if (node.records.insert(record->file_order).second)
      node.frequency += per_run(entry_count(*record, info.routine_name), runs);
  }
  for (const SpiCallSite& site : routine.call_sites) {
    if (site.callee == "(indirect)") continue;
    const CgNode& callee = graph.find_or_make(info.module_name, site.callee, (site.flags & 1) != 0);
    CgEdge edge;
    edge.callee = &callee;
    edge.value = static_cast<int32_t>(site.line);
    edge.count = record ? per_run(cg_block_count(*record, site.block_index), runs) : 0.0f;
    node.edges.push_front(edge);
  }
}

std::string_view call_graph_module(const CallGraph& graph, const DpiIndexEntry& entry,
                                     const DpiRoutine& record, bool* is_static) {
  const std::vector<CgDefinition>* defs = graph.definitions(entry.file_name, entry.func_name);
  if (!defs || defs->empty()) {
    *is_static = (entry.flags & 1) == 0;
    return entry.file_name;
  }
  const CgDefinition* chosen = &defs->front();
  for (const CgDefinition& def : *defs)
    if (def.block_count == record.block_cnt) {
      chosen = &def;
      break;
    }
  *is_static = chosen->is_static;
  return chosen->module;
}

}  // namespace vorel
