// The dynamic call graph: nodes for every routine and callee of the static
// profile file, with the direct call edges and their counts taken from the
// dynamic profile file.
//
// The builder walks the static routines in the reader's order, finds each
// routine's dynamic record by the block-count match and adds the routine's
// node and one edge per direct call site. Nodes live in a 991-bucket table
// keyed by "<module> <name>" for static linkage and "<name>" alone for
// external linkage, so that every reference to an external routine reaches
// one node. Nodes are never merged; each node carries its own edges.
//
// The builder also remembers, per lookup key (source file, routine name),
// which module defines the routine, so that the writer can give each dynamic
// record its module (see call_graph_module below).
//
// walk_call_graph builds the graph and hands the dynamic records, in file
// order, with their module and node to the writer (report/call_graph_writer.h).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/host.h"

namespace vorel {

struct CoverageOptions;
struct DpiFile;
struct DpiRoutine;
struct DpiIndexEntry;
struct SpiRoutine;

struct CgNode;

struct CgEdge {
  const CgNode* callee = nullptr;
  int32_t value = 0;      // source line of the call
  float count = 0;        // count of the call's block / runs
};

struct CgNode {
  std::string key;        // see cg_node_key
  std::string name;       // routine name as stored in the profiles
  bool executed = false;  // a dynamic record with a non-zero block count
  int32_t value = 0;      // function number of the dynamic record
  float frequency = 0;    // entry count / runs, once per dynamic record
  std::set<uint32_t> records;  // file positions of the records counted in `frequency`
  std::deque<CgEdge> edges;  // newest call site first
};

// Where a routine of the static profile file is defined.
struct CgDefinition {
  std::string module;
  uint32_t block_count = 0;  // full block count of the static routine
  bool is_static = false;
};

class CallGraph {
 public:
  static constexpr size_t kBuckets = 991;

  // `rules` give the lookup key of the definitions (routine_key).
  explicit CallGraph(HostRules rules = host_rules()) : rules_(rules) {}

  // The node of (module, name), or nullptr.
  const CgNode* find(const std::string& module, const std::string& name, bool is_static) const;
  // The node of (module, name), made when missing.
  CgNode& find_or_make(const std::string& module, const std::string& name, bool is_static);

  // Definitions of the routines with the lookup key (file, name), in reader order.
  void add_definition(const std::string& file, const std::string& name, CgDefinition def);
  const std::vector<CgDefinition>* definitions(std::string_view file,
                                               std::string_view name) const;

  size_t node_count() const { return node_count_; }

 private:
  CgNode* locate(const std::string& key) const;

  std::array<std::vector<std::unique_ptr<CgNode>>, kBuckets> buckets_;
  size_t node_count_ = 0;
  HostRules rules_;
  std::map<std::string, std::vector<CgDefinition>> definitions_;
};

// The text a node is keyed by: "<module> <name>" or "<name>".
std::string cg_node_key(const std::string& module, const std::string& name, bool is_static);

// Adds one static routine and its direct call sites; `record` is its dynamic
// record by the block-count match, or nullptr. `runs` is the dynamic file's
// number of runs.
void cg_add_routine(CallGraph& graph, const SpiRoutine& routine, const DpiRoutine* record,
                    uint32_t runs);

// The module of a dynamic record: the module of the static routine with the
// same lookup key whose full block count equals the record's (else the first
// such routine); without a static routine, the record's source file name.
// `is_static` receives the linkage that keys the record's node.
std::string_view call_graph_module(const CallGraph& graph, const DpiIndexEntry& entry,
                                     const DpiRoutine& record, bool* is_static);

// Count of block `i` of a record; an index outside the record is the
// profile library's assertion "i < dpi->block_cnt" (status 1).
uint64_t cg_block_count(const DpiRoutine& record, uint64_t i);

// A single-precision count turned into the written integer: truncated
// towards zero; negative and NaN give 0, values beyond 64 bits the maximum.
uint64_t cg_truncate(double value);

// Name of the routine registered at an indirect-call target address, or nullptr.
using RoutineResolver = std::function<const std::string_view*(uint64_t address)>;
RoutineResolver routine_resolver(DpiFile* dpi);

// Builds the graph over the static routines (the static file is read again,
// on a handle of its own), each matched to its dynamic record by the
// block-count match, then hands every dynamic record in file order to
// `visit` with its module and node (nullptr when it has none). Returns false
// after printing its message when the static profile file cannot be opened;
// a corrupt profile file ends the run with status 1. A dynamic profile file
// without routine records visits nothing.
using CallGraphVisit =
    std::function<void(std::string_view module, const DpiRoutine& record, const CgNode* node)>;
bool walk_call_graph(const CoverageOptions& options, DpiFile* dpi, const CallGraphVisit& visit);

}  // namespace vorel
