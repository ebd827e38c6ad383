// The static profile reader's internal records: the open file, its maps and
// the decoded record. Only the spi_*.cpp files and their tests see this.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "profile/spi.h"
#include "profile/id_list.h"

namespace vorel {

// A module or source file name of the mapping section: the stored full name
// and how many of its leading characters are the compile-time source root.
struct SpiName {
  std::string full;
  uint32_t root_len = 0;  // never more than full.size()
  std::string_view short_name() const { return std::string_view(full).substr(root_len); }
};

struct SpiModule {
  uint32_t id = 0;
  SpiName name;
  uint64_t position = 0;      // offset of the module's first record
  uint32_t record_count = 0;  // passed through, not used
};

// Word indices of a record (w0 is the kind in every record).
enum SpiWord : int { kW0 = 0, kW1, kW2, kW3, kW4, kW5, kW6, kW7 };

// One decoded record. The strings are reused from record to record; a
// consumer that keeps a name copies it.
struct SpiRecord {
  int32_t kind = 0;
  uint32_t w[8] = {};
  uint32_t module_id = 0;      // w1 of kinds 1-5, else 0
  uint32_t routine_id = 0;     // w3 of kinds 1-5, else 0
  uint64_t position = 0;       // file offset where the record starts
  // Kind 1: the source file's and module's names (composed, short, root).
  std::string file_name, file_short, file_root;
  bool file_rooted = false;    // stored root length not 0
  std::string module_name, module_short, module_root;
  bool module_rooted = false;
  // Kinds 1-3: the routine's name; kind 2: the callee; kind 3: the data name.
  std::string routine_name;
  std::string target_name;
};

struct SpiFile {
  std::FILE* fp = nullptr;
  std::string name;
  std::string src_root;        // configured source root, or empty
  char separator = '/';        // put between root and short name
  int32_t version = 0;
  bool binary = false;         // "SPIB" 32-byte records
  uint64_t file_size = 0;
  uint64_t data_start = 0;     // first byte after a skipped byte-order mark
  uint64_t mapping_offset = 0;

  IdList<SpiModule> modules;
  IdList<SpiName> files;
  IdList<std::string> routines;
  IdList<std::string> data_refs;

  // Module visiting order: ascending byte order of short names.
  std::vector<const SpiModule*> sorted_modules;
  size_t module_cursor = 0;    // index of the next module to visit
  bool started = false;        // first module entered
  bool exhausted = false;      // end of data reached
  uint32_t current_module_id = 0;
  uint32_t current_routine_id = 0;

  std::string record_text;     // text form of the record being read
  SpiRecord record;           // last decoded record
  bool peeked = false;         // `record` is not consumed yet
  uint32_t prev_module_id = 0; // ids of the record decoded before (kind 4)
  uint32_t prev_routine_id = 0;

  int line_count = 0;          // for "Corrupt spi file '%s', header on line %d"
  std::unique_ptr<SpiRoutine> routine;

  SpiFile() = default;
  SpiFile(const SpiFile&) = delete;
  SpiFile& operator=(const SpiFile&) = delete;
  // Closing the stream here lets a fatal stop in the middle of opening or
  // reading leave no descriptor behind once the handle is released.
  ~SpiFile() {
    if (fp) std::fclose(fp);
  }
};

// Name composition: root + separator + name, the separator only when the
// root is not empty, does not end with it and the name does not begin with it.
// The result replaces the contents of `out` (its capacity is reused).
void spi_compose_name(std::string_view root, std::string_view name, char separator, std::string* out);

}  // namespace vorel
