// Loading routine records, and the accessors of a loaded record.
#include "profile/dpi_load.h"

#include <cstring>

#include "profile/dpi_cursor.h"
#include "profile/dpi_file_impl.h"
#include "profile/file_access.h"

namespace vorel {

namespace {

// The main payload's length; 0 in the index means "take it from the segment
// header just before the payload".
uint64_t main_length(DpiFile& f, const DpiIndexEntry& entry) {
  uint64_t len = entry.seg_len[kSlotMain];
  if (len != 0 || !ZENTRA_FILE_NODE_is_extensible(f.impl.get())) return len;
  uint64_t pos = entry.seg_pos[kSlotMain];
  if (pos < 8) dpi_corrupt(f);
  return dpi_read_u64_at(f, pos - 8);
}

// The u32 payload of a one-value segment (0 when the routine has none).
uint32_t segment_value(DpiFile& f, const DpiIndexEntry& entry, int slot) {
  if (entry.seg_pos[slot] == 0) return 0;
  if (entry.seg_len[slot] < 4) dpi_corrupt(f);
  return dpi_read_u32_at(f, entry.seg_pos[slot]);
}

void read_main_record(DpiFile& f, const DpiIndexEntry& entry, DpiReadMode mode, DpiRoutine& r) {
  uint64_t pos = entry.seg_pos[kSlotMain];
  uint64_t len = main_length(f, entry);
  const uint8_t* data = dpi_read_range(f, pos, len);
  if (len < 4) dpi_corrupt(f);
  if (load_u32(data) & kFlagSegmentedRecord) {
    dpi_decode_record(f, data, len, pos, mode, r);
  } else {
    const DpiFile::Impl* input_file = f.impl.get();
    ASSERTX(kReaderPath, !ZENTRA_FILE_NODE_is_extensible(input_file));
    dpi_decode_older_record(f, data, len, mode, r);
  }
}

}  // namespace

void dpi_read_routine(DpiFile& f, const DpiIndexEntry& entry, DpiReadMode mode, DpiRoutine& r) {
  read_main_record(f, entry, mode, r);
  r.src_root_len = segment_value(f, entry, kSlotSrcRoot);
  if (r.src_root_len > r.file_name.size())
    assertx_fail(kReaderPath, __LINE__, "DPI_src_root(dpi) <= strlen(dpi->file_name)");
  if (mode == DpiReadMode::kSummary) return;
  r.d1f0_value = segment_value(f, entry, kSlotD1F0);
  // The flow graph is kept as stored: no report reads it, so there is no
  // layout to check it against. Likewise the memory-call values that flags
  // bit 18 derives from the edges are not derived.
  r.flow_graph.clear();
  if (entry.seg_pos[kSlotFlowGraph] != 0) {
    uint64_t len = entry.seg_len[kSlotFlowGraph];
    const uint8_t* data = dpi_read_range(f, entry.seg_pos[kSlotFlowGraph], len);
    r.flow_graph.assign(data, data + len);
  }
}

std::unique_ptr<DpiRoutine> dpi_load_routine(DpiFile* f, const DpiIndexEntry& entry) {
  if (!f || !f->impl || !f->impl->fp)
    assertx_fail(kReaderPath, __LINE__, "input_file->file_info.dpi_file->fp != NULL");
  if (f->impl->type != kFileTypeDpi)
    assertx_fail(kReaderPath, __LINE__, "input_file->type == FILE_TYPE_DPI");
  auto r = std::make_unique<DpiRoutine>();
  dpi_read_routine(*f, entry, DpiReadMode::kFull, *r);
  r->file_order = entry.file_order;
  if (r->src_root_len != 0) f->some_routine_has_src_root = true;
  return r;
}

uint32_t dpi_block_cnt_get(const DpiRoutine& r) { return r.block_cnt; }

void dpi_block_cnt_set(DpiRoutine& r, uint32_t new_block_cnt) {
  if (!(new_block_cnt > dpi_block_cnt_get(r)))
    assertx_fail(kAccessorPath, __LINE__, "new_block_cnt > DPI_block_cnt_get(dpi)");
  r.blocks.resize(new_block_cnt);
  r.block_cnt = new_block_cnt;
}

bool dpi_block_position_known(const DpiRoutine& r, uint32_t i) {
  const DpiRoutine* dpi = &r;
  ASSERTX(kAccessorPath, i < dpi->block_cnt);
  if (i >= r.blocks.size()) return false;  // a hand-built record without its blocks
  return r.blocks[i].start_line != 0 && r.blocks[i].start_col != 0;
}

int dpi_position_mode(const DpiRoutine& r) { return dpi_position_mode(r.flags); }

uint32_t dpi_src_root(const DpiRoutine& r) { return r.src_root_len; }

}  // namespace vorel
