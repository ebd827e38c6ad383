// The table of contents of a segmented dynamic profile file (segment 0xD70C,
// first among the segments when header property bit 2 is set).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "profile/dpi.h"

namespace vorel {

// What the index build registers in the address maps for one routine.
struct DpiRoutineAddresses {
  uint64_t attributes = 0;
  uint64_t address = 0;
  uint64_t vtbl_address = 0;
  std::string vtbl_name;
};

// A source file name as stored, with its root length.
struct DpiStoredName {
  std::string name;
  uint32_t root_len = 0;
  bool present = false;  // the file-name section holds this index
};

struct DpiToc {
  std::vector<DpiIndexEntry> entries;          // file order; names not yet set
  std::vector<std::string> func_names;         // per entry
  std::vector<uint32_t> file_of;               // per entry: index into files
  std::vector<DpiStoredName> files;            // by file index
  std::vector<DpiRoutineAddresses> addresses;  // per entry
};

// Reads and checks the table of contents at the first-segment position.
// Returns false, without a message, when any check fails; the caller then
// walks the segments instead.
bool dpi_read_toc(DpiFile& f, DpiToc& toc);

}  // namespace vorel
