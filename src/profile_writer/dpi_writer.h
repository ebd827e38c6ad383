// Dynamic profile images for tests that need more than write_dpi(): header
// extras, and the offsets of the parts so a test can corrupt them.
//
// What the writer stores:
// - Segmented layouts: per routine a 0xDEEF main record, a 0xDA5E segment
//   with the root length (root.size(), also when 0), a 0xD1F0 segment when
//   `d1f0` is set and a 0xDC6A segment when `flow_graph` is not empty. The
//   file name is root + name. Strings follow the record's arrays inside the
//   payload; an empty virtual-table name is stored as offset 0. The header
//   version is 0xDC0C (with properties) for the table-of-contents layout or
//   when options ask for properties, else 0xDC0A.
// - Table of contents: K = 5 slots, payload positions of the segments, file
//   names with L = length + 1 and R = root.size(), entry names with their
//   length including the terminating zero.
// - Fixed layout: the full name root + name (the layout has no root-length
//   segment, so the name is never re-rooted), counts as 32-bit floats,
//   positions only in position mode 1; X/Y/Z arrays, extra entry values, the
//   routine value, 0xD1F0 and flow graphs are not stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "profile_writer/program.h"

namespace profile_writer {

struct DpiWriteOptions {
  uint64_t extra_properties = 0;     // OR-ed into the header properties
  uint64_t node_value = 0;           // stored when property bit 1 is set
  std::string second_header_string;  // stored when property bit 3 is set
  // Segmented layouts: raw bytes put between the header and the first
  // written segment (e.g. extra segments); a table of contents follows them.
  std::string leading_bytes;
};

struct DpiImage {
  std::string bytes;
  uint64_t first_segment = 0;        // first record (fixed) or first segment
  uint64_t toc_pos = 0;              // table-of-contents segment header (0: none)
  std::vector<uint64_t> record_pos;  // per routine: main payload (segmented) or record start (fixed)
};

DpiImage dpi_image(const Program& program, DpiLayout layout, const DpiWriteOptions& options = {});

// The entry execution count the reader derives: largest entry-block count / runs.
uint64_t dpi_entry_exec_count(const Program& program, const Routine& routine);

}  // namespace profile_writer
