// Writes dynamic profile files (fixed layout, segmented with and without a
// table of contents) from a program description. See dpi_writer.h for what
// each layout stores.
#include "profile_writer/dpi_writer.h"
#include "profile_writer/dpi_writer_toc.h"

#include <algorithm>
#include <cstring>

namespace profile_writer {

namespace {

constexpr uint64_t kFlagPositions = 0x10, kFlagSegmented = 0x40, kFlagPacked = 0x20000,
                   kFlagHandler = 0x80000, kFlagExtended = 0x100000, kFlagY = 0x400000;

struct Item {
  const SourceFile* file;
  const Routine* routine;
};

std::vector<Item> dynamic_routines(const Program& program) {
  std::vector<Item> items;
  for (const Module& m : program.modules)
    for (const SourceFile& f : m.files)
      for (const Routine& r : f.routines)
        if (r.in_dpi) items.push_back(Item{&f, &r});
  return items;
}

void put_string512(std::string& out, const std::string& s) {
  std::string field(512, '\0');
  std::memcpy(field.data(), s.data(), std::min<size_t>(s.size(), 511));
  out += field;
}

uint64_t position_bits(int mode) {
  switch (mode) {
    case 1: return kFlagPositions;
    case 2: return kFlagPositions | kFlagPacked;
    case 3: return kFlagPositions | kFlagHandler;
    default: return 0;
  }
}

uint64_t attributes_of(const Routine& r) { return (r.external ? 1 : 0) | (r.indirectly_called ? 2 : 0); }

// Strings appended after a record's arrays; offsets are patched once known.
struct StringTable {
  std::vector<std::pair<size_t, std::string>> fixups;  // (field offset, text)
  bool wide = true;                                    // u64 fields, else u32
  void add(size_t field_at, const std::string& text) { fixups.emplace_back(field_at, text); }
  void append(std::string& rec, uint64_t rec_pos) {
    for (auto& [at, text] : fixups) {
      uint64_t off = rec_pos + rec.size();
      if (wide) patch_u64(rec, at, off); else patch_u32(rec, at, static_cast<uint32_t>(off));
      rec += text;
      rec.push_back('\0');
    }
  }
};

void put_value_sites(std::string& rec, const Routine& r, bool wide_index) {
  for (const ValueSite& s : r.value_sites) {
    if (wide_index) put_u64(rec, s.block); else put_u32(rec, static_cast<uint32_t>(s.block));
  }
  for (const ValueSite& s : r.value_sites) {
    for (size_t t = 0; t < 4; ++t) {
      Target target = t < s.targets.size() ? s.targets[t] : Target{};
      put_u64(rec, target.address);
      put_u64(rec, target.is_virtual ? 1 : 0);
      put_f32(rec, target.count);
      put_u32(rec, 0);
    }
  }
}

void put_positions(std::string& rec, const Routine& r) {
  for (const Block& b : r.blocks) {
    switch (r.position_mode) {
      case 1:
        put_u32(rec, b.line);
        put_u32(rec, b.col);
        break;
      case 2:
        put_u32(rec, (b.line << 10) | (b.col & 0x3FF));
        put_u32(rec, (b.end_line << 10) | (b.end_col & 0x3FF));
        break;
      case 3:
        put_u32(rec, b.line);
        put_u32(rec, (b.col & 0xFFFF) | (b.handler ? 0x80000000u : 0));
        break;
      default:
        return;
    }
  }
}

// The 0xDEEF payload of a routine whose payload starts at `pos`.
std::string main_record(const SourceFile& file, const Routine& r, uint64_t pos) {
  std::vector<EntryPoint> entries = entries_of(r);
  bool ext = r.extended;
  bool has_y = ext && !r.y.empty();
  uint64_t flags = kFlagSegmented | (3u << 8) | position_bits(r.position_mode) |
                   (ext ? kFlagExtended : 0) | (has_y ? kFlagY : 0);
  std::string rec;
  StringTable strings;
  put_u64(rec, flags);
  put_u32(rec, r.value);
  put_u32(rec, static_cast<uint32_t>(entries.size()));
  put_u32(rec, static_cast<uint32_t>(r.blocks.size()));
  put_u32(rec, static_cast<uint32_t>(r.edges.size()));
  put_u32(rec, static_cast<uint32_t>(r.value_sites.size()));
  put_u32(rec, r.function_number);
  if (ext) put_u32(rec, static_cast<uint32_t>(r.x.size()));
  if (has_y) put_u32(rec, static_cast<uint32_t>(r.y.size()));
  if (ext) put_u32(rec, static_cast<uint32_t>(r.z.size()));
  put_u64(rec, attributes_of(r));
  strings.add(rec.size(), full_name(file.root, file.name));
  put_u64(rec, 0);
  strings.add(rec.size(), r.name);
  put_u64(rec, 0);
  put_u64(rec, r.address);
  put_u64(rec, r.vtable_address);
  if (!r.vtable_name.empty()) strings.add(rec.size(), r.vtable_name);
  put_u64(rec, 0);
  for (const Block& b : r.blocks) put_u64(rec, b.count);
  for (uint64_t e : r.edges) put_u64(rec, e);
  if (ext) for (uint64_t v : r.x) put_u64(rec, v);
  if (has_y) for (uint64_t v : r.y) put_u64(rec, v);
  put_value_sites(rec, r, true);
  for (const EntryPoint& e : entries) {
    strings.add(rec.size(), e.name);
    put_u64(rec, 0);
  }
  for (const EntryPoint& e : entries) put_u32(rec, e.block);
  if (ext) for (size_t i = 0; i < entries.size(); ++i) put_u32(rec, 0);
  else if (entries.size() % 2) put_u32(rec, 0);
  put_positions(rec, r);
  if (ext) {
    for (uint32_t v : r.z) put_u32(rec, v);
    if (r.z.size() % 2) put_u32(rec, 0);
  }
  strings.append(rec, pos);
  return rec;
}

std::string u32_payload(uint32_t v) {
  std::string s;
  put_u32(s, v);
  return s;
}

}  // namespace

uint64_t dpi_entry_exec_count(const Program& program, const Routine& routine) {
  uint64_t best = 0;
  for (const EntryPoint& e : entries_of(routine))
    if (e.block < routine.blocks.size()) best = std::max(best, routine.blocks[e.block].count);
  return program.runs ? best / program.runs : 0;
}

namespace {

std::string segmented_header(const Program& program, uint32_t count, uint64_t properties,
                             bool with_props, const DpiWriteOptions& o) {
  std::string h;
  put_u64(h, 0xDC12);
  put_u64(h, 0);  // extent, patched below
  put_u32(h, with_props ? 0xDC0C : 0xDC0A);
  put_u32(h, program.runs);
  put_u32(h, count);
  put_u32(h, 0);  // header value
  put_string512(h, program.header_string);
  if (with_props) {
    put_u64(h, properties);
    if (properties & 2) put_u64(h, o.node_value);
    if (properties & 8) put_string512(h, o.second_header_string);
  }
  patch_u64(h, 8, h.size() - 16);
  return h;
}

// The routine segments from `base` on; fills the positions of each routine.
std::string routine_segments(const std::vector<Item>& items, uint64_t base,
                             std::vector<RoutineSegments>& segs) {
  std::string out;
  segs.assign(items.size(), RoutineSegments{});
  for (size_t i = 0; i < items.size(); ++i) {
    const Routine& r = *items[i].routine;
    auto add = [&](int slot, uint64_t tag, const std::string& payload) {
      segs[i].pos[slot] = base + out.size() + 16;
      segs[i].len[slot] = payload.size();
      out += segment(tag, payload);
    };
    add(0, 0xDEEF, main_record(*items[i].file, r, base + out.size() + 16));
    add(1, 0xDA5E, u32_payload(static_cast<uint32_t>(items[i].file->root.size())));
    if (!r.flow_graph.empty())
      add(2, 0xDC6A, std::string(r.flow_graph.begin(), r.flow_graph.end()));
    if (r.d1f0) add(3, 0xD1F0, u32_payload(*r.d1f0));
  }
  return out;
}

DpiImage segmented_image(const Program& program, bool toc, const DpiWriteOptions& o) {
  std::vector<Item> items = dynamic_routines(program);
  uint64_t properties = (toc ? 4 : 0) | o.extra_properties;
  bool with_props = toc || o.extra_properties != 0;
  DpiImage image;
  image.bytes = segmented_header(program, static_cast<uint32_t>(items.size()), properties,
                                 with_props, o);
  image.first_segment = image.bytes.size();
  image.bytes += o.leading_bytes;
  std::vector<const SourceFile*> files;
  std::vector<const Routine*> routines;
  for (const Item& it : items) {
    files.push_back(it.file);
    routines.push_back(it.routine);
  }
  std::vector<RoutineSegments> segs(items.size());
  std::string toc_bytes;
  if (toc) {
    image.toc_pos = image.bytes.size();
    // The table's size does not depend on the positions it holds.
    toc_bytes = dpi_toc_segment(program, files, routines, segs, image.toc_pos);
  }
  uint64_t base = image.bytes.size() + toc_bytes.size();
  std::string body = routine_segments(items, base, segs);
  if (toc) toc_bytes = dpi_toc_segment(program, files, routines, segs, image.toc_pos);
  image.bytes += toc_bytes;
  image.bytes += body;
  for (const RoutineSegments& s : segs) image.record_pos.push_back(s.pos[0]);
  return image;
}

// The older fixed-layout record of a routine starting at `pos`.
std::string fixed_record(const SourceFile& file, const Routine& r, uint64_t pos) {
  std::vector<EntryPoint> entries = entries_of(r);
  std::string rec;
  StringTable strings;
  strings.wide = false;
  put_u32(rec, static_cast<uint32_t>((2u << 8) | position_bits(r.position_mode)));
  put_u32(rec, 0);  // length, patched below
  put_u32(rec, static_cast<uint32_t>(entries.size()));
  put_u32(rec, static_cast<uint32_t>(r.blocks.size()));
  put_u32(rec, static_cast<uint32_t>(r.edges.size()));
  put_u32(rec, static_cast<uint32_t>(r.value_sites.size()));
  put_u32(rec, static_cast<uint32_t>(attributes_of(r)));
  put_u32(rec, r.function_number);
  strings.add(rec.size(), full_name(file.root, file.name));
  put_u32(rec, 0);
  strings.add(rec.size(), r.name);
  put_u32(rec, 0);
  put_u64(rec, r.address);
  put_u64(rec, r.vtable_address);
  if (!r.vtable_name.empty()) strings.add(rec.size(), r.vtable_name);
  put_u32(rec, 0);
  put_u32(rec, 0);  // unused
  for (const Block& b : r.blocks) put_f32(rec, static_cast<float>(b.count));
  for (uint64_t e : r.edges) put_f32(rec, static_cast<float>(e));
  put_value_sites(rec, r, false);
  for (const EntryPoint& e : entries) {
    strings.add(rec.size(), e.name);
    put_u32(rec, 0);
  }
  for (const EntryPoint& e : entries) put_u32(rec, e.block);
  if (r.position_mode == 1) put_positions(rec, r);
  strings.append(rec, pos);
  patch_u32(rec, 4, static_cast<uint32_t>(rec.size()));
  return rec;
}

DpiImage fixed_image(const Program& program) {
  std::vector<Item> items = dynamic_routines(program);
  DpiImage image;
  put_u32(image.bytes, 0xDC0B);
  put_u32(image.bytes, program.runs);
  put_u32(image.bytes, static_cast<uint32_t>(items.size()));
  put_u32(image.bytes, 0);  // header value
  put_string512(image.bytes, program.header_string);
  image.first_segment = image.bytes.size();
  for (const Item& it : items) {
    image.record_pos.push_back(image.bytes.size());
    image.bytes += fixed_record(*it.file, *it.routine, image.bytes.size());
  }
  return image;
}

}  // namespace

DpiImage dpi_image(const Program& program, DpiLayout layout, const DpiWriteOptions& options) {
  switch (layout) {
    case DpiLayout::kFixed: return fixed_image(program);
    case DpiLayout::kSegmented: return segmented_image(program, false, options);
    case DpiLayout::kSegmentedToc: return segmented_image(program, true, options);
  }
  return {};
}

bool write_dpi(const Program& program, const std::string& path, DpiLayout layout, std::string* error) {
  std::string why = dpi_refusal(program, layout);
  if (!why.empty()) {
    if (error) *error = path + ": " + why;
    return false;
  }
  return write_bytes(path, dpi_image(program, layout).bytes, error);
}

}  // namespace profile_writer
