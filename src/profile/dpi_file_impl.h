// Private state of an open dynamic profile file and the constants of its
// layouts, shared by the parts of the dynamic reader.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "profile/dpi.h"
#include "profile/dpi_address_map.h"

namespace vorel {

// File magics and header values.
inline constexpr uint32_t kDpiMagicFixed = 0xDC0B;
inline constexpr uint64_t kDpiMagicSegmented = 0xDC12;
inline constexpr uint32_t kDpiHeaderVersionProperties = 0xDC0C;
inline constexpr uint64_t kFixedHeaderSize = 528;
inline constexpr size_t kHeaderStringSize = 512;

// Header property bits.
inline constexpr uint64_t kPropFlag0 = 1;
inline constexpr uint64_t kPropNodeValue = 2;
inline constexpr uint64_t kPropToc = 4;
inline constexpr uint64_t kPropSecondString = 8;
inline constexpr uint64_t kPropKnownLimit = 16;

// Segment tags.
inline constexpr uint64_t kTagMain = 0xDEEF;
inline constexpr uint64_t kTagSrcRoot = 0xDA5E;
inline constexpr uint64_t kTagFlowGraph = 0xDC6A;
inline constexpr uint64_t kTagD1F0 = 0xD1F0;
inline constexpr uint64_t kTagFEEF = 0xFEEF;
inline constexpr uint64_t kTagToc = 0xD70C;
inline constexpr uint64_t kTagSkippableBits = 0xD000;

// Routine record flags.
inline constexpr uint64_t kFlagPositions = 0x10;
inline constexpr uint64_t kFlagSegmentedRecord = 0x40;
inline constexpr uint64_t kFlagPackedPositions = 0x20000;
inline constexpr uint64_t kFlagMemoryCalls = 0x40000;
inline constexpr uint64_t kFlagHandlerPositions = 0x80000;
inline constexpr uint64_t kFlagExtended = 0x100000;
inline constexpr uint64_t kFlagYArray = 0x400000;

// Routine attributes.
inline constexpr uint64_t kAttrExternal = 1;
inline constexpr uint64_t kAttrIndirectlyCalled = 2;

inline constexpr int kFileTypeDpi = 2;

struct DpiFile::Impl {
  std::FILE* fp = nullptr;
  int type = kFileTypeDpi;
  int format_kind = 0;           // 0 older fixed layout, 1 segmented
  uint64_t file_size = 0;
  uint64_t first_segment = 0;    // first record or segment
  uint64_t properties = 0;
  uint64_t node_value = 0;       // header u64 announced by property bit 1
  float weight = 1.0f;
  DpiOpenOptions options;
  std::vector<uint8_t> buf;      // payloads larger than the window; reused, only grows
  // Read-ahead window over the file: one read serves the neighbouring small
  // reads of the index build (large read-ahead) or of one routine load.
  std::vector<uint8_t> window;
  uint64_t window_pos = 0;
  uint64_t window_len = 0;
  uint64_t read_ahead = 0;
  DpiAddressMap routine_map;     // address -> file order of the routine
  DpiAddressMap vtable_map;      // address -> index into vtable_names
  std::vector<std::string> vtable_names;
  std::vector<uint32_t> sorted_pos;  // file order -> position in the index

  Impl() = default;
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  ~Impl();
};

// True for a file of the segmented layout.
inline bool ZENTRA_FILE_NODE_is_extensible(const DpiFile::Impl* input_file) {
  return input_file->format_kind == 1;
}

// Ends the run with the corrupt-file catalog error naming `f`.
[[noreturn]] void dpi_corrupt(const DpiFile& f);

// Read-ahead of the index build and of single routine loads.
inline constexpr uint64_t kIndexReadAhead = 1 << 20;
inline constexpr uint64_t kLoadReadAhead = 4096;
// Sets the read-ahead; a smaller one also releases the window's memory.
void dpi_set_read_ahead(DpiFile& f, uint64_t bytes);

// The bytes [pos, pos + len) of the file, valid until the next read of the
// file; a range outside the file is corrupt.
const uint8_t* dpi_read_range(DpiFile& f, uint64_t pos, uint64_t len);

// Reads a u32 / u64 at `pos` (outside the file: corrupt).
uint32_t dpi_read_u32_at(DpiFile& f, uint64_t pos);
uint64_t dpi_read_u64_at(DpiFile& f, uint64_t pos);

// Reads up to `len` bytes at `pos` without failing on a short file; returns
// the number read.
size_t dpi_read_some(DpiFile& f, uint64_t pos, void* out, size_t len);

}  // namespace vorel
