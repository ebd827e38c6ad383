// write_spi: a static profile file from a program description.
//
// Choices this writer makes where the format leaves room:
// - Ids are given in order of first appearance: modules 1..n in program
//   order; source files by (root, name); routine names (routines, then
//   their callees) and data names by their text.
// - Text layouts (v1-v4, v6, v7, text v8) end every line with CR LF, the
//   line end of the compiler's host. The header line has no blank between
//   version and offset: "V06%08x" (13 bytes with CR LF, so the reader's line
//   estimate (position - 13) / 67 + 1 fits; records are 65 characters + CR
//   LF), "V08%016x" for text v8.
// - Binary v8: header "V08SPIB %016x\n", 32-byte records, mapping section
//   with LF line ends (the reader reads it with the binary line reader,
//   which keeps a CR).
// - Per routine the records come in reader order: routine (1), extent (4,
//   v7+), per block a line-map header (5) with its continuations (6) (v7+),
//   call sites (2), data references (3). A one-line block map is written as
//   a lone kind-5 record carrying the line in w6; the kind-5 w7 is 0.
// - A module without records is placed at the mapping-section offset.
// - All four map sections are written, empty ones too.
// - Old layouts write one entry per routine, in program order, with the call
//   sites ("C callee block line flags") and data references ("D name v1 v2")
//   on the rest of the entry line. Versions 1 and 2 store full names
//   (root + name); 3 and 4 store root and name separately. Names must not
//   be empty or hold white space there.
#include <array>
#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <utility>

#include "profile_writer/program.h"

namespace profile_writer {

namespace {

using Record = std::array<uint32_t, 8>;

uint32_t block_count(const Routine& r) { return static_cast<uint32_t>(r.blocks.size()); }

// Id assignment in order of first appearance.
class IdMap {
 public:
  uint32_t id(const std::string& key) {
    auto [it, added] = ids_.emplace(key, static_cast<uint32_t>(order_.size() + 1));
    if (added) order_.push_back(key);
    return it->second;
  }
  const std::vector<std::string>& in_order() const { return order_; }

 private:
  std::map<std::string, uint32_t> ids_;
  std::vector<std::string> order_;
};

struct FileKey {
  std::string root, name;
};

struct Maps {
  IdMap files, routines, data;
  std::vector<FileKey> file_keys;  // by file id - 1
  uint32_t file_id(const SourceFile& f) {
    uint32_t id = files.id(std::to_string(f.root.size()) + ":" + f.root + f.name);
    if (id > file_keys.size()) file_keys.push_back({f.root, f.name});
    return id;
  }
};

std::string printf_string(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string printf_string(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  std::string out(buf, n < static_cast<int>(sizeof buf) ? n : sizeof buf - 1);
  if (n >= static_cast<int>(sizeof buf)) {  // long names
    out.resize(static_cast<size_t>(n) + 1);
    va_start(ap, fmt);
    std::vsnprintf(out.data(), out.size(), fmt, ap);
    va_end(ap);
    out.resize(static_cast<size_t>(n));
  }
  return out;
}

// The records of one routine, in reader order.
void routine_records(const Routine& r, uint32_t module, uint32_t file, Maps& maps, int version,
                     std::vector<Record>* out) {
  uint32_t name = maps.routines.id(r.name);
  uint32_t flags = (r.is_static ? 1u : 0u) | (r.routine_flag ? 2u : 0u);
  out->push_back({1, module, file, name, r.start_line, block_count(r), r.extra_blocks, flags});
  if (version >= 7 && r.has_extent)
    out->push_back({4, module, file, name, r.start_line, r.start_col, r.end_line, r.end_col});
  if (version >= 7 && r.write_line_maps) {
    for (size_t b = 0; b < r.blocks.size(); ++b) {
      const Block& block = r.blocks[b];
      const std::vector<uint32_t>& lines = block.lines;
      uint32_t n = static_cast<uint32_t>(lines.size());
      out->push_back({5, module, 0, name, static_cast<uint32_t>(b), n, n ? lines[0] : block.map_first,
                      block.map_value});
      if (n == 1) continue;
      for (size_t i = 0; i < lines.size(); i += 7) {
        Record c{6, 0, 0, 0, 0, 0, 0, 0};
        for (size_t k = 0; k < 7 && i + k < lines.size(); ++k) c[k + 1] = lines[i + k];
        out->push_back(c);
      }
    }
  }
  for (const CallSite& c : r.calls)
    out->push_back({2, module, file, name, maps.routines.id(c.callee), c.block, c.line,
                    c.callee_static ? 1u : 0u});
  for (const DataRef& d : r.data_refs)
    out->push_back({3, module, file, name, maps.data.id(d.name), d.value1, d.value2, 0});
}

std::string record_text(Record r) {
  return printf_string("%02x %08x %08x %08x %08x %08x %08x %08x\r\n", r[0], r[1], r[2], r[3], r[4],
                       r[5], r[6], r[7]);
}

struct ModuleSpan {
  uint64_t position = 0;
  uint32_t count = 0;
};

void string_section(std::string* out, const char* key, const IdMap& ids, const char* eol) {
  *out += printf_string("<%s>%zu%s", key, ids.in_order().size(), eol);
  for (size_t i = 0; i < ids.in_order().size(); ++i)
    *out += printf_string("%zu %s%s", i + 1, ids.in_order()[i].c_str(), eol);
  *out += printf_string("</%s>%s", key, eol);
}

std::string mapping_section(const Program& p, const std::vector<ModuleSpan>& spans, Maps& maps,
                            const char* eol) {
  std::string out = printf_string("<H>%s<M1>%zu%s", eol, p.modules.size(), eol);
  for (size_t i = 0; i < p.modules.size(); ++i) {
    const Module& m = p.modules[i];
    out += printf_string("%zu %" PRIu64 " %u %zu %s%s", i + 1, spans[i].position, spans[i].count,
                         m.root.size(), full_name(m.root, m.name).c_str(), eol);
  }
  out += printf_string("</M1>%s<F1>%zu%s", eol, maps.file_keys.size(), eol);
  for (size_t i = 0; i < maps.file_keys.size(); ++i) {
    const FileKey& k = maps.file_keys[i];
    out += printf_string("%zu %zu %s%s", i + 1, k.root.size(), full_name(k.root, k.name).c_str(), eol);
  }
  out += printf_string("</F1>%s", eol);
  string_section(&out, "R1", maps.routines, eol);
  string_section(&out, "D1", maps.data, eol);
  return out + printf_string("</H>%s", eol);
}

std::string record_layout(const Program& p, int version, bool binary) {
  Maps maps;
  std::vector<std::vector<Record>> records(p.modules.size());
  for (size_t i = 0; i < p.modules.size(); ++i)
    for (const SourceFile& f : p.modules[i].files) {
      uint32_t file = maps.file_id(f);
      for (const Routine& r : f.routines)
        if (r.in_spi) routine_records(r, static_cast<uint32_t>(i + 1), file, maps, version, &records[i]);
    }
  const size_t header_len = binary ? 25 : version >= 8 ? 21 : 13;
  const size_t record_len = binary ? 32 : 67;
  std::vector<ModuleSpan> spans(p.modules.size());
  uint64_t pos = header_len;
  for (size_t i = 0; i < records.size(); ++i) {
    spans[i] = {pos, static_cast<uint32_t>(records[i].size())};
    pos += records[i].size() * record_len;
  }
  const uint64_t mapping = pos;
  for (ModuleSpan& s : spans)
    if (s.count == 0) s.position = mapping;

  std::string out = binary ? printf_string("V08SPIB %016" PRIx64 "\n", mapping)
                    : version >= 8 ? printf_string("V08%016" PRIx64 "\r\n", mapping)
                                   : printf_string("V%02d%08" PRIx64 "\r\n", version, mapping);
  for (const auto& module_records : records)
    for (const Record& r : module_records) {
      if (!binary) {
        out += record_text(r);
        continue;
      }
      for (uint32_t w : r) put_u32(out, w);
    }
  out += mapping_section(p, spans, maps, binary ? "\n" : "\r\n");
  return out;
}

std::string old_entry(const Routine& r, const SourceFile& f, const Module& m, int version) {
  std::string file = full_name(f.root, f.name), module = full_name(m.root, m.name);
  std::string out;
  if (version >= 3) {
    out = printf_string("V%d %zu %zu %zu %zu %zu ", version, f.root.size(), f.name.size(), m.root.size(),
                        m.name.size(), r.name.size());
    if (!f.root.empty()) out += f.root + " ";
    out += f.name + " ";
    if (!m.root.empty()) out += m.root + " ";
    out += m.name + " " + r.name + printf_string(" %u %u %u", r.start_line, block_count(r), r.extra_blocks);
  } else {
    out = printf_string("V%d %zu %zu %zu %s %s %s %u %u", version, file.size(), module.size(),
                        r.name.size(), file.c_str(), module.c_str(), r.name.c_str(), r.start_line,
                        block_count(r));
    if (version == 2) out += printf_string(" %u", r.extra_blocks);
  }
  out += r.is_static ? " S" : " E";
  for (const CallSite& c : r.calls)
    out += printf_string(" C %s %u %u %u", c.callee.c_str(), c.block, c.line, c.callee_static ? 1u : 0u);
  for (const DataRef& d : r.data_refs) out += printf_string(" D %s %u %u", d.name.c_str(), d.value1, d.value2);
  return out + "\r\n";
}

std::string old_layout(const Program& p, int version) {
  std::string out;
  for (const Module& m : p.modules)
    for (const SourceFile& f : m.files)
      for (const Routine& r : f.routines)
        if (r.in_spi) out += old_entry(r, f, m, version);
  return out;
}

std::string spi_bytes(const Program& program, SpiLayout layout) {
  switch (layout) {
    case SpiLayout::kOldV1: return old_layout(program, 1);
    case SpiLayout::kOldV2: return old_layout(program, 2);
    case SpiLayout::kOldV3: return old_layout(program, 3);
    case SpiLayout::kOldV4: return old_layout(program, 4);
    case SpiLayout::kTextV6: return record_layout(program, 6, false);
    case SpiLayout::kTextV7: return record_layout(program, 7, false);
    case SpiLayout::kTextV8: return record_layout(program, 8, false);
    case SpiLayout::kBinaryV8: return record_layout(program, 8, true);
  }
  return "";
}

}  // namespace

bool write_spi(const Program& program, const std::string& path, SpiLayout layout, std::string* error) {
  std::string why = spi_refusal(program, layout);
  if (!why.empty()) {
    if (error) *error = path + ": " + why;
    return false;
  }
  return write_bytes(path, spi_bytes(program, layout), error);
}

}  // namespace profile_writer
