// The routine main record of the segmented layout (segment 0xDEEF).
#include "profile/dpi_record.h"

#include <cstring>

#include "profile/dpi_cursor.h"
#include "profile/dpi_file_impl.h"
#include "profile/file_access.h"

namespace vorel {

int dpi_position_mode(uint64_t flags) {
  if (flags & kFlagHandlerPositions) return 3;
  if (flags & kFlagPackedPositions) return 2;
  return (flags & kFlagPositions) ? 1 : 0;
}

void dpi_read_value_sites(DpiCursor& c, DpiRoutine& r, bool wide_index) {
  c.need(r.value_site_count, (wide_index ? 8 : 4) + 96);
  r.vp_sites.assign(r.value_site_count, DpiValueSite{});
  for (DpiValueSite& site : r.vp_sites) site.block_index = wide_index ? c.u64() : c.u32();
  for (DpiValueSite& site : r.vp_sites) {
    for (DpiValueTarget& t : site.targets) {
      t.address = c.u64();
      t.virtual_marker = c.u64();
      t.count = c.f32();
      c.skip(1, 4);
    }
  }
}

namespace {

// A zero-terminated string at absolute file offset `abs` inside the payload;
// offset 0 stands for no string.
std::string payload_string(const DpiFile& f, const DpiCursor& c, uint64_t payload_pos,
                           uint64_t abs) {
  if (abs == 0) return std::string();
  uint64_t offset = abs - payload_pos;  // wraps below the payload: caught as too large
  uint64_t buf_max = c.size();
  ASSERTX(kReaderPath, offset < buf_max);
  const char* text = reinterpret_cast<const char*>(c.data()) + offset;
  const void* end = std::memchr(text, 0, buf_max - offset);
  if (!end) dpi_corrupt(f);
  return std::string(text, static_cast<const char*>(end));
}

void read_u64_array(DpiCursor& c, uint32_t count, std::vector<uint64_t>& out) {
  c.need(count, 8);
  out.resize(count);
  for (uint64_t& v : out) v = c.u64();
}

void read_positions(DpiCursor& c, DpiRoutine& r) {
  int mode = dpi_position_mode(r.flags);
  if (mode == 0) return;
  c.need(r.block_cnt, 8);
  for (DpiBlock& b : r.blocks) {
    uint32_t a = c.u32();
    uint32_t w = c.u32();
    if (mode == 1) {
      b.start_line = a;
      b.start_col = w;
    } else if (mode == 2) {
      b.start_line = a >> 10;
      b.start_col = a & 0x3FF;
      b.end_line = w >> 10;
      b.end_col = w & 0x3FF;
    } else {
      b.start_line = a;
      b.start_col = w & 0xFFFF;
      b.extra = w >> 31;
    }
  }
}

// Fields 1 to 16: counts, attributes, names and addresses.
void read_head(const DpiFile& f, DpiCursor& c, uint64_t payload_pos, DpiRoutine& r) {
  r.flags = c.u64();
  r.value = c.u32();
  r.entry_cnt = c.u32();
  r.block_cnt = c.u32();
  r.edge_count = c.u32();
  r.value_site_count = c.u32();
  r.func_number = c.u32();
  bool extended = (r.flags & kFlagExtended) != 0;
  r.x_count = extended ? c.u32() : 0;
  // The Y array is stored only with bit 22; otherwise its count is X.
  r.y_count = (extended && (r.flags & kFlagYArray)) ? c.u32() : r.x_count;
  r.z_count = extended ? c.u32() : 0;
  r.attributes = c.u64();
  uint64_t file_off = c.u64();
  uint64_t func_off = c.u64();
  r.address = c.u64();
  r.vtbl_address = c.u64();
  uint64_t vtbl_off = c.u64();
  r.file_name = payload_string(f, c, payload_pos, file_off);
  r.func_name = payload_string(f, c, payload_pos, func_off);
  r.vtbl_name = payload_string(f, c, payload_pos, vtbl_off);
}

void read_entries(const DpiFile& f, DpiCursor& c, uint64_t payload_pos, DpiReadMode mode,
                  DpiRoutine& r) {
  c.need(r.entry_cnt, 12);
  r.entries.assign(r.entry_cnt, DpiEntryPoint{});
  size_t names_at = c.pos();
  c.skip(r.entry_cnt, 8);
  for (DpiEntryPoint& e : r.entries) e.block_index = c.u32();
  if (mode == DpiReadMode::kSummary) return;
  for (size_t i = 0; i < r.entries.size(); ++i) {
    uint64_t off = load_u64(c.data() + names_at + 8 * i);
    r.entries[i].name = payload_string(f, c, payload_pos, off);
  }
}

}  // namespace

void dpi_decode_record(const DpiFile& f, const uint8_t* data, uint64_t size,
                       uint64_t payload_pos, DpiReadMode mode, DpiRoutine& r) {
  DpiCursor c(data, size, f.name.c_str());
  read_head(f, c, payload_pos, r);
  c.need(r.block_cnt, 8);
  r.blocks.assign(r.block_cnt, DpiBlock{});
  for (DpiBlock& b : r.blocks) b.count = c.u64();
  bool extended = (r.flags & kFlagExtended) != 0;
  bool has_y = extended && (r.flags & kFlagYArray);
  if (mode == DpiReadMode::kSummary) {
    c.skip(r.edge_count, 8);
    c.skip(extended ? r.x_count : 0, 8);
    c.skip(has_y ? r.y_count : 0, 8);
    c.skip(r.value_site_count, 8 + 96);
    read_entries(f, c, payload_pos, mode, r);
    return;
  }
  read_u64_array(c, r.edge_count, r.edges);
  read_u64_array(c, extended ? r.x_count : 0, r.x);
  read_u64_array(c, has_y ? r.y_count : 0, r.y);
  dpi_read_value_sites(c, r, true);
  read_entries(f, c, payload_pos, mode, r);
  int mode_bits = dpi_position_mode(r.flags);
  if (extended) {
    c.need(r.entry_cnt, 4);
    for (DpiEntryPoint& e : r.entries) e.extra = c.u32();
  } else if ((r.entry_cnt & 1) && (mode_bits != 0)) {
    c.skip(1, 4);  // padding before the positions
  }
  read_positions(c, r);
  c.need(r.z_count, 4);
  r.z.resize(r.z_count);
  for (uint32_t& v : r.z) v = c.u32();
}

}  // namespace vorel
