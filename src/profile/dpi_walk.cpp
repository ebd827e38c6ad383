#include "profile/dpi_walk.h"

#include <algorithm>

#include "base/catalog.h"
#include "base/diag.h"
#include "profile/dpi_cursor.h"
#include "profile/dpi_file_impl.h"
#include "profile/file_access.h"

namespace vorel {

namespace {

bool reject(const DpiFile& f, CatalogMessage message) {
  catalog_warning(message, f.name.c_str());
  return false;
}

// The slot of a routine sub-segment, or -1.
int sub_segment_slot(uint64_t tag) {
  switch (tag) {
    case kTagSrcRoot: return kSlotSrcRoot;
    case kTagFlowGraph: return kSlotFlowGraph;
    case kTagD1F0: return kSlotD1F0;
    case kTagFEEF: return kSlotFEEF;
    default: return -1;
  }
}

// Handles one segment whose header is at `pos`; false rejects the file.
bool take_segment(DpiFile& f, uint64_t pos, uint64_t tag, uint64_t len,
                  std::vector<DpiIndexEntry>& out) {
  const char* name = f.name.c_str();
  if (tag == kTagMain) {
    // A routine beyond the announced number makes the count wrong.
    if (out.size() == f.routine_count) return reject(f, kMsgUnexpectedEof);
    // Payload positions are 32-bit file positions: beyond 2^31 - 1 the
    // checked tell ends the run with its message.
    uint64_t payload = pos + 16;
    if (payload > INT32_MAX) {
      checked_seek64(f.impl->fp, payload, name);
      checked_tell(f.impl->fp, name);
    }
    DpiIndexEntry entry;
    entry.seg_pos[kSlotMain] = payload;
    entry.seg_len[kSlotMain] = len;
    entry.file_order = static_cast<uint32_t>(out.size());
    out.push_back(std::move(entry));
    return true;
  }
  int slot = sub_segment_slot(tag);
  if (slot >= 0) {
    if (out.empty()) return reject(f, kMsgFileCorruptIgnored);
    out.back().seg_pos[slot] = pos + 16;
    out.back().seg_len[slot] = len;
    return true;
  }
  if (tag == kTagToc) return true;
  unsigned offset = static_cast<unsigned>(pos);
  if ((tag & kTagSkippableBits) == kTagSkippableBits) {
    catalog_warning(kMsgSkippableSegment, tag, offset, name);
    return true;
  }
  catalog_warning(kMsgUnrecognizedSegment, name, tag, offset);
  return false;
}

}  // namespace

bool dpi_walk_segments(DpiFile& f, std::vector<DpiIndexEntry>& out) {
  DpiFile::Impl& impl = *f.impl;
  const uint64_t size = impl.file_size;
  uint64_t pos = impl.first_segment;
  // Every routine takes at least a segment header and one byte.
  out.reserve(std::min<uint64_t>(f.routine_count, (size - std::min(size, pos)) / 17));
  while (pos < size) {
    if (size - pos < 16) return reject(f, kMsgUnexpectedEof);
    const uint8_t* head = dpi_read_range(f, pos, 16);
    uint64_t tag = load_u64(head);
    uint64_t len = load_u64(head + 8);
    if (len == 0) return reject(f, kMsgFileCorruptIgnored);
    if (len > size - pos - 16) return reject(f, kMsgUnexpectedEof);
    if (!take_segment(f, pos, tag, len, out)) return false;
    pos += 16 + len;
  }
  if (out.size() != f.routine_count) return reject(f, kMsgUnexpectedEof);
  return true;
}

bool dpi_walk_records(DpiFile& f, std::vector<DpiIndexEntry>& out) {
  DpiFile::Impl& impl = *f.impl;
  const uint64_t size = impl.file_size;
  uint64_t pos = impl.first_segment;
  // Every record holds at least its flags and its length.
  out.reserve(std::min<uint64_t>(f.routine_count, (size - std::min(size, pos)) / 8));
  for (uint32_t i = 0; i < f.routine_count; ++i) {
    if (size - pos < 8) return reject(f, kMsgUnexpectedEof);
    uint32_t flags = dpi_read_u32_at(f, pos);
    uint64_t length_at = pos + ((flags & kFlagSegmentedRecord) ? 8 : 4);
    if (size - length_at < 4) return reject(f, kMsgUnexpectedEof);
    uint32_t length = dpi_read_u32_at(f, length_at);
    // A record must at least hold the words just read, or the walk stands still.
    if (length < length_at + 4 - pos) return reject(f, kMsgFileCorruptIgnored);
    if (length > size - pos) return reject(f, kMsgUnexpectedEof);
    DpiIndexEntry entry;
    entry.seg_pos[kSlotMain] = pos;
    entry.seg_len[kSlotMain] = length;
    entry.file_order = i;
    out.push_back(std::move(entry));
    pos += length;
  }
  return true;
}

}  // namespace vorel
