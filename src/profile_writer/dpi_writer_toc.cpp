#include "profile_writer/dpi_writer_toc.h"

#include "profile_writer/dpi_writer.h"

namespace profile_writer {

namespace {

constexpr uint32_t kSlots = 5;
constexpr uint64_t kEntryFixedSize = 80 + 16 * kSlots;

// Distinct source files in order of first appearance; per routine its index.
std::vector<const SourceFile*> file_table(const std::vector<const SourceFile*>& files,
                                          std::vector<uint32_t>& index_of) {
  std::vector<const SourceFile*> table;
  for (const SourceFile* f : files) {
    uint32_t i = 0;
    while (i < table.size() && table[i] != f) ++i;
    if (i == table.size()) table.push_back(f);
    index_of.push_back(i);
  }
  return table;
}

std::string file_name_section(const std::vector<const SourceFile*>& table) {
  std::string out;
  for (uint32_t i = 0; i < table.size(); ++i) {
    std::string name = full_name(table[i]->root, table[i]->name);
    put_u32(out, i);
    put_u32(out, static_cast<uint32_t>(name.size() + 1));
    put_u32(out, static_cast<uint32_t>(table[i]->root.size()));
    put_u32(out, 0);
    out += name;
    out.push_back('\0');
  }
  return out;
}

// One routine entry (without its u64 size) whose body starts at `pos`.
std::string routine_entry(const Program& program, const Routine& r, const RoutineSegments& s,
                          uint32_t file_index, uint64_t pos) {
  std::string e;
  bool has_vtbl = !r.vtable_name.empty();
  put_u64(e, pos + kEntryFixedSize);
  put_u64(e, has_vtbl ? pos + kEntryFixedSize + r.name.size() + 1 : 0);
  for (uint64_t p : s.pos) put_u64(e, p);
  for (uint64_t l : s.len) put_u64(e, l);
  put_u64(e, (r.external ? 1 : 0) | (r.indirectly_called ? 2 : 0));
  put_u64(e, r.address);
  put_u64(e, r.vtable_address);
  put_u64(e, dpi_entry_exec_count(program, r));
  put_u32(e, r.function_number);
  put_u32(e, file_index);
  put_u32(e, static_cast<uint32_t>(r.name.size() + 1));
  put_u32(e, has_vtbl ? static_cast<uint32_t>(r.vtable_name.size() + 1) : 0);
  e.append(16, '\0');
  e += r.name;
  e.push_back('\0');
  if (has_vtbl) {
    e += r.vtable_name;
    e.push_back('\0');
  }
  return e;
}

}  // namespace

std::string dpi_toc_segment(const Program& program, const std::vector<const SourceFile*>& files,
                            const std::vector<const Routine*>& routines,
                            const std::vector<RoutineSegments>& segs, uint64_t toc_pos) {
  std::vector<uint32_t> index_of;
  std::vector<const SourceFile*> table = file_table(files, index_of);
  std::string names = file_name_section(table);
  std::string payload;
  put_u32(payload, 1);
  put_u32(payload, static_cast<uint32_t>(routines.size()));
  put_u32(payload, static_cast<uint32_t>(table.size()));
  put_u32(payload, kSlots);
  put_u64(payload, names.size());
  payload += names;
  for (size_t i = 0; i < routines.size(); ++i) {
    uint64_t body_pos = toc_pos + 16 + payload.size() + 8;
    std::string entry = routine_entry(program, *routines[i], segs[i], index_of[i], body_pos);
    put_u64(payload, entry.size());
    payload += entry;
  }
  std::string out;
  put_u64(out, 0xD70C);
  put_u64(out, payload.size());
  out += payload;
  return out;
}

}  // namespace profile_writer
