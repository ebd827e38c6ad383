// The call-graph text (-txtdcg): per routine of the dynamic profile file its
// frequency, direct call edges, indirect and virtual call targets, and
// statistics per routine, per module section and for the whole program.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

namespace vorel {

class CallGraph;
struct CgNode;
struct DpiFile;
struct DpiRoutine;

// Counters of one routine, one module section or the whole program.
struct CgCounters {
  uint64_t functions = 0;      // routines (modules and program only)
  uint64_t direct_edges = 0;
  uint64_t direct_sum = 0;
  uint64_t indirect_sites = 0;
  uint64_t indirect_sum = 0;
  uint64_t virtual_sites = 0;
  uint64_t virtual_sum = 0;

  void add(const CgCounters& other);
};

// Writes the lines of the call-graph text as routine records are handed in,
// in the order of the dynamic profile file.
class CallGraphWriter {
 public:
  // Name of the routine registered at an indirect-call target address, or nullptr.
  using Resolver = std::function<const std::string_view*(uint64_t address)>;

  CallGraphWriter(std::FILE* out, bool demangle, uint32_t runs, Resolver resolve);

  // One routine record of `module`; `node` is its call-graph node or nullptr.
  // A value-profile site outside the record's blocks ends the run with the
  // profile library's assertion "i < dpi->block_cnt".
  void function(std::string_view module, const DpiRoutine& record, const CgNode* node);

  // After the last record: the open module's and the program's statistics.
  // Writes nothing when no record was handed in.
  void finish();

 private:
  void open_module(std::string_view module);
  void write_stats(const char* tag, const std::string* name, uint64_t number,
                   const CgCounters& counters);
  void write_direct_calls(const std::string& shown, const CgNode* node, CgCounters& counters);
  void write_value_sites(const DpiRoutine& record, CgCounters& counters);
  std::string shown_name(const std::string& name) const;

  std::FILE* out_;
  bool demangle_;
  uint32_t runs_;
  Resolver resolve_;
  bool module_open_ = false;
  std::string module_;
  int module_index_ = -1;
  CgCounters module_counters_;
  CgCounters program_counters_;
};

}  // namespace vorel
