// The dynamic profile file (*.dpi): reader interface.
//
// Every run of an instrumented program adds its execution counts to the
// dynamic profile file: one record per routine with its names, block
// counters, block positions, entry points and value-profile (indirect and
// virtual call) targets. Opening the file builds an index of all routines
// sorted by lookup key; routine records are loaded one at a time on demand.
//
// Layouts (byte-level tables in docs/FORMATS.md): the older fixed layout
// (magic 0xDC0B) and the segmented layout (magic 0xDC12), optionally with a
// table of contents.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"
#include "profile/name_arena.h"

namespace vorel {

// Slots of a routine's segments, in table-of-contents order.
enum DpiSegmentSlot : int {
  kSlotMain = 0,       // 0xDEEF routine main record
  kSlotSrcRoot = 1,    // 0xDA5E source-root length
  kSlotFlowGraph = 2,  // 0xDC6A flow graph
  kSlotD1F0 = 3,       // 0xD1F0 value
  kSlotFEEF = 4,       // 0xFEEF data not used here
  kSlotCount = 5,
};

// One routine of the index. Its names live in the file's name arena
// (DpiFile::names), each file name once for all its routines. The lookup
// key (routine_key) is not stored: it is compared piece by piece
// (dpi_compare_entries) and built only to be shown (dpi_entry_key).
struct DpiIndexEntry {
  std::string_view file_name;   // source file name, re-rooted with the source root
  std::string_view func_name;
  std::string_view key_file;    // the file name as the key holds it (normalised under
                                // case-folding rules, else file_name)
  // Payload positions and lengths of the routine's segments (0: absent); in
  // the fixed layout slot 0 holds the record's start and length. A main
  // length of 0 (table of contents) is taken from the segment header.
  uint64_t seg_pos[kSlotCount] = {};
  uint64_t seg_len[kSlotCount] = {};
  uint32_t func_number = 0;
  uint32_t flags = 0;           // bit 0 external linkage, bit 1 indirectly called
  uint64_t entry_exec_count = 0;  // largest entry-block count / runs
  uint32_t file_order = 0;      // position of the routine in the file (0-based)
};

struct DpiBlock {
  uint64_t count = 0;           // summed over all runs
  uint32_t start_line = 0;
  uint32_t start_col = 0;
  uint32_t end_line = 0;
  uint32_t end_col = 0;
  uint32_t extra = 0;           // position mode 3: unwind-handler mark
};

struct DpiValueTarget {
  uint64_t address = 0;
  uint64_t virtual_marker = 0;  // non-zero: virtual call
  float count = 0;              // summed over all runs
};

struct DpiValueSite {
  uint64_t block_index = 0;     // as stored: may be >= block_cnt in a corrupt file
  DpiValueTarget targets[4];
};

struct DpiEntryPoint {
  std::string name;
  uint32_t block_index = 0;     // as stored: may be >= block_cnt in a corrupt file
  uint32_t extra = 0;           // flags bit 20: extra entry value
};

// One fully loaded routine record.
struct DpiRoutine {
  uint64_t flags = 0;
  uint32_t value = 0;
  uint32_t entry_cnt = 0;
  uint32_t block_cnt = 0;
  uint32_t edge_count = 0;        // entries of `edges`
  uint32_t x_count = 0;           // entries of `x` (extended records)
  uint32_t y_count = 0;           // entries of `y` (flags bit 22, else x_count)
  uint32_t z_count = 0;           // entries of `z` (extended records)
  uint32_t value_site_count = 0;  // entries of `vp_sites`
  uint32_t func_number = 0;
  uint32_t file_order = 0;       // position of the record in the file (its index entry's)
  uint64_t attributes = 0;      // bit 0 external, bit 1 indirectly called
  std::string file_name;        // as stored (not re-rooted)
  std::string func_name;
  std::string vtbl_name;
  uint64_t address = 0;
  uint64_t vtbl_address = 0;
  std::vector<DpiBlock> blocks;          // block_cnt entries
  std::vector<uint64_t> edges;            // edge values
  std::vector<uint64_t> x, y;             // extended value arrays
  std::vector<DpiValueSite> vp_sites;      // value-profile sites
  std::vector<DpiEntryPoint> entries;   // entry_cnt
  std::vector<uint32_t> z;                // extended index array
  uint32_t src_root_len = 0;              // segment 0xDA5E
  uint32_t d1f0_value = 0;                // segment 0xD1F0
  std::vector<uint8_t> flow_graph;        // segment 0xDC6A, uninterpreted
};

// The open dynamic profile file.
struct DpiFile {
  std::string name;
  uint32_t routine_count = 0;
  uint32_t runs = 0;
  uint32_t header_value = 0;
  uint64_t max_entry_exec_count = 0;
  std::vector<DpiIndexEntry> index;       // sorted by key
  NameArena names;                        // the index entries' names
  uint64_t magic = 0;
  std::string header_string;
  std::string second_header_string;       // empty when none
  bool property_flag0 = false;            // property bit 0
  bool segmented = false;                 // format kind 1
  bool some_routine_has_src_root = false;
  // Written by vorelcov's importer (profile/imported.h): its rooted names
  // are handed out without their root, whatever the configured source root.
  bool imported = false;
  struct Impl;                            // stream, buffers, address maps
  std::unique_ptr<Impl> impl;
  DpiFile();
  ~DpiFile();
};

struct DpiOpenOptions {
  std::string src_root;           // normalised source root with its final separator, or empty
  bool check_duplicate_keys = true;  // off with -multiple-definitions
  HostRules host = host_rules();     // the lookup-key rule (routine_key)
};

// Opens and indexes the file. Returns nullptr when it cannot be opened or
// its segment walk fails (after a catalog warning). A bad header, a corrupt
// record, a wrong record kind or a file that records 0 runs ends the run
// with a catalog error (status 1). Index entries, and the pointers the
// functions below return into the file, stay valid until dpi_close.
DpiFile* dpi_open(const char* name, const DpiOpenOptions& options);
// Closes the stream and frees everything of the file (nullptr: nothing).
void dpi_close(DpiFile* f);

// Owner that closes the file when it goes out of scope, also when a fatal
// stop unwinds past it.
struct DpiFileCloser {
  void operator()(DpiFile* f) const { dpi_close(f); }
};
using DpiFilePtr = std::unique_ptr<DpiFile, DpiFileCloser>;

// Loads the routine of an index entry with everything read (full loader).
// A corrupt record ends the run (catalog error, status 1).
std::unique_ptr<DpiRoutine> dpi_load_routine(DpiFile* f, const DpiIndexEntry& entry);

uint32_t dpi_block_cnt_get(const DpiRoutine& r);
// Grows the block array to `new_block_cnt` (> the current count).
void dpi_block_cnt_set(DpiRoutine& r, uint32_t new_block_cnt);
// True when block i's start line and start column are both non-zero.
bool dpi_block_position_known(const DpiRoutine& r, uint32_t i);
// Position mode 0..3 from the flags.
int dpi_position_mode(const DpiRoutine& r);
uint32_t dpi_src_root(const DpiRoutine& r);

// The lookup key of an entry, and the key order of two entries.
std::string dpi_entry_key(const DpiIndexEntry& e);
int dpi_compare_entries(const DpiIndexEntry& a, const DpiIndexEntry& b);

// Index search (sorted by routine_key of file F and function N under the
// file's host rules).
const DpiIndexEntry* dpi_find_first(const DpiFile* f, std::string_view file, std::string_view func);
const DpiIndexEntry* dpi_find_any(const DpiFile* f, std::string_view file, std::string_view func);
const DpiIndexEntry* dpi_next_entry(const DpiFile* f, const DpiIndexEntry* e);
const DpiIndexEntry* dpi_prev_entry(const DpiFile* f, const DpiIndexEntry* e);

// Matching a static routine to its dynamic record (nullptr: no record).
std::unique_ptr<DpiRoutine> dpi_match_by_name(DpiFile* f, std::string_view file,
                                               std::string_view func);
std::unique_ptr<DpiRoutine> dpi_match_by_block_count(DpiFile* f, std::string_view file,
                                                      std::string_view func,
                                                      uint32_t full_block_count);

// Address maps of this file: routine address -> index entry (indirectly
// called routines), virtual-table address -> virtual-table name. An address
// registered twice resolves to nullptr.
const DpiIndexEntry* dpi_resolve_routine_address(const DpiFile* f, uint64_t address);
const std::string* dpi_resolve_vtable_address(const DpiFile* f, uint64_t address);

}  // namespace vorel
