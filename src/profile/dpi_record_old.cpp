// The routine record of the older fixed layout (magic 0xDC0B).
#include <algorithm>
#include <cstring>

#include "profile/dpi_cursor.h"
#include "profile/dpi_file_impl.h"
#include "profile/dpi_record.h"
#include "profile/file_access.h"

namespace vorel {

uint64_t dpi_float_count(float v) {
  if (!(v >= 0.0f)) return 0;  // negative or NaN
  if (v >= 18446744073709551616.0f) return UINT64_MAX;
  return static_cast<uint64_t>(v);
}

namespace {

// A zero-terminated string at absolute file offset `off`, read from the
// file; offset 0 stands for no string.
std::string file_string(DpiFile& f, uint64_t off) {
  DpiFile::Impl& impl = *f.impl;
  std::string text;
  if (off == 0) return text;
  if (off >= impl.file_size) dpi_corrupt(f);
  uint64_t pos = off;
  while (pos < impl.file_size) {
    uint64_t want = std::min<uint64_t>(256, impl.file_size - pos);
    const char* chunk = reinterpret_cast<const char*>(dpi_read_range(f, pos, want));
    const char* end = static_cast<const char*>(std::memchr(chunk, 0, want));
    text.append(chunk, end ? end : chunk + want);
    if (end) return text;
    pos += want;
  }
  dpi_corrupt(f);  // no terminating zero before the end of the file
}

struct OlderOffsets {
  uint64_t file = 0, func = 0, vtbl = 0;
};

OlderOffsets read_head(DpiCursor& c, DpiRoutine& r) {
  OlderOffsets off;
  r.flags = c.u32();
  c.u32();  // record length, used by the walk
  r.value = 0;
  r.entry_cnt = c.u32();
  r.block_cnt = c.u32();
  r.edge_count = c.u32();
  r.value_site_count = c.u32();
  r.x_count = r.y_count = r.z_count = 0;
  r.attributes = c.u32();
  r.func_number = c.u32();
  off.file = c.u32();
  off.func = c.u32();
  r.address = c.u64();
  r.vtbl_address = c.u64();
  off.vtbl = c.u32();
  c.u32();  // unused
  return off;
}

}  // namespace

void dpi_decode_older_record(DpiFile& f, const uint8_t* data, uint64_t size, DpiReadMode mode,
                             DpiRoutine& r) {
  DpiCursor c(data, size, f.name.c_str());
  OlderOffsets off = read_head(c, r);
  c.need(r.block_cnt, 4);
  r.blocks.assign(r.block_cnt, DpiBlock{});
  for (DpiBlock& b : r.blocks) b.count = dpi_float_count(c.f32());
  bool full = mode == DpiReadMode::kFull;
  if (full) {
    c.need(r.edge_count, 4);
    r.edges.resize(r.edge_count);
    for (uint64_t& v : r.edges) v = dpi_float_count(c.f32());
    dpi_read_value_sites(c, r, false);
    r.x.clear();
    r.y.clear();
    r.z.clear();
  } else {
    c.skip(r.edge_count, 4);
    c.skip(r.value_site_count, 4 + 96);
  }
  c.need(r.entry_cnt, 8);
  r.entries.assign(r.entry_cnt, DpiEntryPoint{});
  std::vector<uint64_t> name_offsets(r.entry_cnt);
  for (uint64_t& o : name_offsets) o = c.u32();
  for (DpiEntryPoint& e : r.entries) e.block_index = c.u32();
  if (full && dpi_position_mode(r.flags) == 1) {
    c.need(r.block_cnt, 8);
    for (DpiBlock& b : r.blocks) {
      b.start_line = c.u32();
      b.start_col = c.u32();
    }
  }
  // The cursor's bytes live in the reusable buffer; strings are read last.
  r.file_name = file_string(f, off.file);
  r.func_name = file_string(f, off.func);
  r.vtbl_name = file_string(f, off.vtbl);
  if (full)
    for (size_t i = 0; i < r.entries.size(); ++i) r.entries[i].name = file_string(f, name_offsets[i]);
}

}  // namespace vorel
