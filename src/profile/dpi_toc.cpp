#include "profile/dpi_toc.h"

#include <cstring>

#include "profile/dpi_cursor.h"
#include "profile/dpi_file_impl.h"

namespace vorel {

namespace {

constexpr uint64_t kTocHeadSize = 24;        // version, count, F, K, section size
constexpr uint64_t kFileNameHeadSize = 16;   // index, length, root length, padding

// A name of `len` bytes without its trailing zero bytes (a counted
// terminator or padding). A zero byte followed by other bytes would cut the
// name short where it is used as a C string: the table is then not used.
bool bounded_string(const uint8_t* p, uint64_t len, std::string* out) {
  const char* text = reinterpret_cast<const char*>(p);
  size_t n = strnlen(text, static_cast<size_t>(len));
  for (size_t i = n; i < len; ++i)
    if (text[i] != '\0') return false;
  out->assign(text, n);
  return true;
}

// The file-name section: F entries, each with its own index below F.
bool read_file_names(const uint8_t* data, uint64_t size, uint32_t count,
                     std::vector<DpiStoredName>& files) {
  if (count > size / kFileNameHeadSize) return false;
  files.assign(count, DpiStoredName{});
  DpiCursor c(data, size, nullptr);
  for (uint32_t j = 0; j < count; ++j) {
    uint32_t index = c.u32();
    uint32_t len = c.u32();
    uint32_t root_len = c.u32();
    c.skip(1, 4);
    if (!c.need(len, 1) || index >= count || files[index].present) return false;
    std::string name;
    if (!bounded_string(c.data() + c.pos(), len, &name)) return false;
    c.skip(len, 1);
    if (root_len > name.size()) return false;
    files[index] = DpiStoredName{std::move(name), root_len, true};
  }
  return true;
}

// A name at absolute offset `off` with length `len` that must end inside the
// entry [entry_pos, entry_pos + size); offset 0 stands for no name.
bool entry_string(const uint8_t* entry, uint64_t size, uint64_t entry_pos, uint64_t off,
                  uint32_t len, std::string& out) {
  out.clear();
  if (off == 0) return true;
  if (off < entry_pos) return false;
  uint64_t local = off - entry_pos;
  if (local > size || len > size - local) return false;
  return bounded_string(entry + local, len, &out);
}

// One routine entry: S bytes at file offset `entry_pos`.
bool read_entry(DpiFile& f, uint64_t entry_pos, uint64_t size, uint32_t slots, DpiToc& toc) {
  if (size < 80 + 16ull * slots) return false;
  const uint8_t* data = dpi_read_range(f, entry_pos, size);
  DpiCursor e(data, size, nullptr);
  DpiIndexEntry entry;
  DpiRoutineAddresses addr;
  uint64_t func_off = e.u64();
  uint64_t vtbl_off = e.u64();
  for (uint32_t k = 0; k < slots; ++k) entry.seg_pos[k] = e.u64();
  for (uint32_t k = 0; k < slots; ++k) entry.seg_len[k] = e.u64();
  addr.attributes = e.u64();
  addr.address = e.u64();
  addr.vtbl_address = e.u64();
  entry.entry_exec_count = e.u64();
  entry.func_number = e.u32();
  uint32_t file_index = e.u32();
  uint32_t func_len = e.u32();
  uint32_t vtbl_len = e.u32();
  if (entry.seg_pos[kSlotMain] == 0) return false;
  uint64_t file_size = f.impl->file_size;
  for (uint32_t k = 0; k < slots; ++k)
    if (entry.seg_pos[k] > file_size || entry.seg_len[k] > file_size - entry.seg_pos[k]) return false;
  if (file_index >= toc.files.size() || !toc.files[file_index].present) return false;
  std::string func_name;
  if (!entry_string(data, size, entry_pos, func_off, func_len, func_name) ||
      !entry_string(data, size, entry_pos, vtbl_off, vtbl_len, addr.vtbl_name))
    return false;
  entry.flags = static_cast<uint32_t>(addr.attributes & 3);
  entry.file_order = static_cast<uint32_t>(toc.entries.size());
  toc.entries.push_back(std::move(entry));
  toc.func_names.push_back(std::move(func_name));
  toc.file_of.push_back(file_index);
  toc.addresses.push_back(std::move(addr));
  return true;
}

// The routine entries, each a u64 size S and S bytes, from `pos` to `end`;
// read one by one through the read-ahead window.
bool read_entries(DpiFile& f, uint64_t pos, uint64_t end, uint32_t slots, DpiToc& toc) {
  // Every entry takes at least its size word and its fixed part.
  uint64_t most = (end - pos) / (8 + 80 + 16ull * slots);
  if (f.routine_count > most) return false;
  toc.entries.reserve(f.routine_count);
  toc.file_of.reserve(f.routine_count);
  toc.addresses.reserve(f.routine_count);
  for (uint32_t i = 0; i < f.routine_count; ++i) {
    if (end - pos < 8) return false;
    uint64_t size = dpi_read_u64_at(f, pos);
    if (size > end - pos - 8) return false;
    if (!read_entry(f, pos + 8, size, slots, toc)) return false;
    pos += 8 + size;
  }
  return true;
}

}  // namespace

bool dpi_read_toc(DpiFile& f, DpiToc& toc) {
  DpiFile::Impl& impl = *f.impl;
  uint64_t pos = impl.first_segment;
  if (pos > impl.file_size || impl.file_size - pos < 16 + kTocHeadSize) return false;
  const uint8_t* head = dpi_read_range(f, pos, 16 + kTocHeadSize);
  uint64_t tag = load_u64(head);
  uint64_t len = load_u64(head + 8);
  uint32_t version = load_u32(head + 16);
  uint32_t count = load_u32(head + 20);
  uint32_t file_count = load_u32(head + 24);
  uint32_t slots = load_u32(head + 28);
  uint64_t section = load_u64(head + 32);
  if (tag != kTagToc || len < kTocHeadSize || len > impl.file_size - pos - 16) return false;
  if (version != 1 || count != f.routine_count || slots == 0 || slots > kSlotCount) return false;
  if (section > len - kTocHeadSize) return false;
  uint64_t names_pos = pos + 16 + kTocHeadSize;
  const uint8_t* names = dpi_read_range(f, names_pos, section);
  if (!read_file_names(names, section, file_count, toc.files)) return false;
  return read_entries(f, names_pos + section, pos + 16 + len, slots, toc);
}

}  // namespace vorel
