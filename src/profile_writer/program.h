// The profile-file writer: a plain description of an instrumented program,
// from which it makes matching static (*.spi) and dynamic (*.dpi) profile
// files in every layout the readers know. The coverage-data importer and the
// tests use it. It refuses a description that a reader would reject or
// misread, and it returns failures instead of stopping the program.
//
// Modules hold source files, source files hold routines, routines hold
// blocks. A name is stored as root + name with root length = root.size(), so
// readers replace `root` by the configured source root.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace profile_writer {

struct Block {
  uint64_t count = 0;              // dynamic: summed over all runs
  uint32_t line = 0, col = 0;      // dynamic: start position
  uint32_t end_line = 0, end_col = 0;  // dynamic: end position (position mode 2)
  bool handler = false;            // dynamic, position mode 3: unwind handler
  std::vector<uint32_t> lines;     // static line map of the block (v7+); empty: no entries
  uint32_t map_first = 0;          // w6 of the map's kind-5 record when it has no entries
  uint32_t map_value = 0;          // w7 of the map's kind-5 record (the kept value)
};

struct CallSite {
  std::string callee;              // "(indirect)" for an indirect call
  uint32_t block = 0;
  uint32_t line = 0;
  bool callee_static = false;
};

struct DataRef {
  std::string name;
  uint32_t value1 = 0, value2 = 0;
};

struct Target {
  uint64_t address = 0;
  bool is_virtual = false;
  float count = 0;                 // summed over all runs
};

struct ValueSite {
  uint64_t block = 0;
  std::vector<Target> targets;     // at most 4 are stored
};

struct EntryPoint {
  std::string name;
  uint32_t block = 0;
};

struct Routine {
  std::string name;

  // Static side.
  bool in_spi = true;              // false: only a dynamic record exists
  uint32_t start_line = 0, start_col = 0;
  uint32_t end_line = 0, end_col = 0;
  bool has_extent = true;          // write the kind-4 extent record (v7+)
  bool is_static = false;          // linkage 'S'
  bool routine_flag = false;       // w7 bit 1
  uint32_t extra_blocks = 0;       // value B of the routine record
  bool write_line_maps = true;     // kind-5/6 records for every block (v7+)
  std::vector<CallSite> calls;
  std::vector<DataRef> data_refs;
  std::vector<Block> blocks;

  // Dynamic side.
  bool in_dpi = true;              // false: the routine has no dynamic record
  int position_mode = 1;           // 0..3
  std::vector<EntryPoint> entries; // empty: one entry named like the routine at block 0
  std::vector<ValueSite> value_sites;
  bool external = true;            // attribute bit 0 (default: !is_static)
  bool indirectly_called = false;  // attribute bit 1
  uint64_t address = 0;
  uint64_t vtable_address = 0;
  std::string vtable_name;
  uint32_t function_number = 0;
  uint32_t value = 0;              // routine value kept in DpiRoutine
  std::vector<uint64_t> edges;     // E edge values
  bool extended = false;           // flags bit 20: X/Z arrays and extra entry values
  std::vector<uint64_t> x, y;      // y written only when non-empty (flags bit 22)
  std::vector<uint32_t> z;
  std::optional<uint32_t> d1f0;    // segment 0xD1F0
  std::vector<uint8_t> flow_graph; // segment 0xDC6A when non-empty
};

struct SourceFile {
  std::string root;                // stored root, e.g. "/build/src/"
  std::string name;                // short name, e.g. "main.c"
  std::vector<Routine> routines;
};

struct Module {
  std::string root;
  std::string name;
  std::vector<SourceFile> files;
};

struct Program {
  std::vector<Module> modules;
  uint32_t runs = 1;
  std::string header_string = "vorelcov test profile";
};

enum class SpiLayout { kOldV1, kOldV2, kOldV3, kOldV4, kTextV6, kTextV7, kTextV8, kBinaryV8 };
enum class DpiLayout { kFixed, kSegmented, kSegmentedToc };

// Why a reader would reject or misread `program` written in `layout`; empty
// when it can be written.
std::string spi_refusal(const Program& program, SpiLayout layout);
std::string dpi_refusal(const Program& program, DpiLayout layout);

// Write the files (under a temporary name first, then renamed into place).
// On a refused description or an I/O failure they return false and set
// `*error` (when given) to the reason; nothing is written under `path`.
bool write_spi(const Program& program, const std::string& path, SpiLayout layout,
               std::string* error = nullptr);
bool write_dpi(const Program& program, const std::string& path, DpiLayout layout,
               std::string* error = nullptr);

}  // namespace profile_writer

namespace profile_writer {

// Helpers shared by the writers.
std::string full_name(const std::string& root, const std::string& name);
// The routine's entry points (one named like the routine at block 0 when none is given).
std::vector<EntryPoint> entries_of(const Routine& routine);

// Little-endian byte output, patches and reads of an image.
void put_u32(std::string& out, uint32_t v);
void put_u64(std::string& out, uint64_t v);
void put_f32(std::string& out, float v);
void patch_u32(std::string& bytes, uint64_t at, uint32_t v);
void patch_u64(std::string& bytes, uint64_t at, uint64_t v);
uint32_t get_u32(const std::string& bytes, uint64_t at);
uint64_t get_u64(const std::string& bytes, uint64_t at);
// A dynamic-profile segment: u64 tag, u64 payload length, payload.
std::string segment(uint64_t tag, const std::string& payload);
// Writes `bytes` to `path`; false (and `*error`) on failure.
bool write_bytes(const std::string& path, const std::string& bytes, std::string* error = nullptr);

}  // namespace profile_writer

namespace profile_writer {

// Shorthand for test programs: a block at (line, col) with its count and
// static line map, and a routine from start_line:1 to end_line:1.
struct BlockAt {
  uint32_t line = 0, col = 0;
  uint64_t count = 0;
  std::vector<uint32_t> lines = {};
  bool handler = false;
};
Routine routine(const std::string& name, uint32_t start_line, uint32_t end_line,
                const std::vector<BlockAt>& blocks);
// A module "<source>.o" holding the one source file root + source.
Module module(const std::string& root, const std::string& source, std::vector<Routine> routines);

}  // namespace profile_writer
