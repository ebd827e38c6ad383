// Decoding routine records of a dynamic profile file.
//
// Summary mode (index build) reads the header fields, the names, the block
// counts and the entry-block indices; it skips edges, X/Y arrays,
// value-profile sites, entry names, extra entry values, positions and Z.
// Full mode reads every field. The record is decoded into `r`, which may be
// reused: every field the mode reads is overwritten.
#pragma once

#include <cstdint>

#include "profile/dpi.h"

namespace vorel {

class DpiCursor;

enum class DpiReadMode { kSummary, kFull };

// Position mode 0..3 of a flags word.
int dpi_position_mode(uint64_t flags);

// A 32-bit float count of the older layout as u64: truncated; negative and
// NaN give 0, values beyond the u64 range saturate.
uint64_t dpi_float_count(float v);

// Segmented-layout main record: data[0..size) is the payload, which starts
// at file offset `payload_pos` (string offsets are absolute file offsets
// inside the payload).
void dpi_decode_record(const DpiFile& f, const uint8_t* data, uint64_t size,
                       uint64_t payload_pos, DpiReadMode mode, DpiRoutine& r);

// The V value-profile sites of a record at the cursor: the block indices
// (u64, or u32 in the older layout), then four targets per site.
void dpi_read_value_sites(DpiCursor& c, DpiRoutine& r, bool wide_index);

// Older fixed-layout record: data[0..size) is the record; its strings are
// read from the file at their absolute offsets.
void dpi_decode_older_record(DpiFile& f, const uint8_t* data, uint64_t size, DpiReadMode mode,
                             DpiRoutine& r);

}  // namespace vorel
