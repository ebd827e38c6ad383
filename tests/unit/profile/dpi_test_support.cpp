#include "dpi_test_support.h"

#include <gtest/gtest.h>

#include "capture.h"

namespace dpi_test {

using namespace profile_writer;

Routine routine(const std::string& name, std::vector<uint64_t> counts) {
  std::vector<BlockAt> blocks;
  for (uint64_t c : counts) blocks.push_back({static_cast<uint32_t>(10 + blocks.size()), 3, c});
  Routine r = profile_writer::routine(name, 0, 0, blocks);
  r.start_col = r.end_col = 0;
  return r;
}

Program one_file(std::vector<Routine> routines, uint32_t runs) {
  Program p;
  p.runs = runs;
  p.modules = {{"", "m.obj", {{"/r/", "a.c", std::move(routines)}}}};
  return p;
}

Program basic_program() {
  Routine main_r = routine("main", {10, 0, 6});
  main_r.function_number = 1;
  main_r.edges = {4, 2};
  main_r.value_sites = {ValueSite{1, {Target{0x4000, false, 5.0f}, Target{0x5000, true, 1.0f}}}};
  Routine helper = routine("helper", {0, 0});
  helper.function_number = 2;
  helper.external = false;
  Routine target = routine("target", {8, 2});
  target.indirectly_called = true;
  target.address = 0x4000;
  target.entries = {EntryPoint{"target", 0}, EntryPoint{"target_alt", 1}};
  Routine skipped = routine("static_only", {1});
  skipped.in_dpi = false;
  Routine method = routine("C::m", {2});
  method.vtable_address = 0x9000;
  method.vtable_name = "vtbl_C";
  method.address = 0x5000;
  method.indirectly_called = true;

  Program p;
  p.runs = 2;
  p.modules = {{"/build/src/", "m.obj",
                {{"/build/src/", "a.c", {main_r, helper, skipped}},
                 {"/build/src/", "b.c", {target, method}}}}};
  return p;
}

Program rich_program() {
  Routine r = routine("rich", {100, 50, 0, 7});
  r.position_mode = 3;
  r.blocks[2].handler = true;
  r.blocks[3].col = 0x12345;  // only the low 16 bits are stored in mode 3
  r.entries = {EntryPoint{"rich", 0}, EntryPoint{"rich_b", 1}, EntryPoint{"rich_c", 3}};
  r.value_sites = {ValueSite{0, {Target{1, false, 2.5f}}},
                   ValueSite{3, {Target{2, true, 1}, Target{3, false, 2}, Target{4, false, 3},
                                 Target{5, true, 4}}}};
  r.value = 77;
  r.function_number = 9;
  r.edges = {1, 2, 3};
  r.extended = true;
  r.x = {11, 12};
  r.y = {21, 22};
  r.z = {31, 32, 33};
  r.d1f0 = 0xABCD;
  r.flow_graph = {1, 2, 3, 4, 5};
  r.address = 0x7000;
  r.vtable_address = 0x7100;
  r.vtable_name = "vt";
  Routine packed = routine("packed", {3, 4});
  packed.position_mode = 2;
  packed.blocks[0].end_line = 12;
  packed.blocks[0].end_col = 9;
  packed.blocks[1].col = 1000;  // needs all ten bits of the packed column
  Routine bare = routine("bare", {1, 1, 1});
  bare.position_mode = 0;
  bare.entries = {EntryPoint{"bare", 0}, EntryPoint{"bare2", 2}};
  return one_file({r, packed, bare}, 3);
}

Opened open_dpi(const std::string& path, const vorel::DpiOpenOptions& options) {
  Opened o;
  auto c = test_support::capture([&] { o.file.reset(vorel::dpi_open(path.c_str(), options)); });
  o.err = c.err;
  o.status = c.status;
  return o;
}

Opened open_bytes(const e2e::TempDir& dir, const std::string& bytes,
                  const vorel::DpiOpenOptions& options) {
  e2e::write_file(dir.file("t.dpi"), bytes);
  return open_dpi(dir.file("t.dpi"), options);
}

Loaded load_all(vorel::DpiFile* f) {
  Loaded l;
  auto c = test_support::capture([&] {
    for (const vorel::DpiIndexEntry& e : f->index) l.routines.push_back(vorel::dpi_load_routine(f, e));
  });
  l.err = c.err;
  l.status = c.status;
  return l;
}

std::string warning_prefix(int number) { return "vorelcov: warning #" + std::to_string(number) + ": "; }

namespace {

// Appends "name=value " for each pair.
struct Fields {
  std::string text;
  template <typename T>
  Fields& operator()(const char* name, const T& value) {
    text += name;
    text += '=';
    if constexpr (std::is_convertible_v<T, std::string_view>) text += value;
    else text += std::to_string(value);
    text += ' ';
    return *this;
  }
};

}  // namespace

std::string dump_index(const vorel::DpiFile& f) {
  Fields out;
  out("runs", f.runs)("max", f.max_entry_exec_count)("n", f.index.size());
  for (const vorel::DpiIndexEntry& e : f.index)
    out("\nkey", vorel::dpi_entry_key(e))("file", e.file_name)("func", e.func_name)("number", e.func_number)(
        "flags", e.flags)("exec", e.entry_exec_count)("order", e.file_order);
  return out.text;
}

std::string dump_routine(const vorel::DpiRoutine& r, bool root_len) {
  Fields out;
  out("flags", r.flags & ~0x3F40ull)("value", r.value)("entries", r.entry_cnt)("blocks", r.block_cnt)(
      "E", r.edge_count)("X", r.x_count)("Y", r.y_count)("Z", r.z_count)("V", r.value_site_count)("number", r.func_number)(
      "attributes", r.attributes)("file", r.file_name)("func", r.func_name)("vtbl", r.vtbl_name)(
      "address", r.address)("vtbl_address", r.vtbl_address)("d1f0", r.d1f0_value);
  if (root_len) out("root", r.src_root_len);
  for (const vorel::DpiBlock& b : r.blocks)
    out("\nblock", b.count)("at", b.start_line)("col", b.start_col)("end", b.end_line)(
        "end_col", b.end_col)("extra", b.extra);
  for (uint64_t v : r.edges) out("edge", v);
  for (uint64_t v : r.x) out("x", v);
  for (uint64_t v : r.y) out("y", v);
  for (uint32_t v : r.z) out("z", v);
  for (const vorel::DpiValueSite& s : r.vp_sites) {
    out("\nsite", s.block_index);
    for (const vorel::DpiValueTarget& t : s.targets)
      out("target", t.address)("virtual", t.virtual_marker)("count", t.count);
  }
  for (const vorel::DpiEntryPoint& e : r.entries)
    out("\nentry", e.name)("block", e.block_index)("extra", e.extra);
  for (uint8_t v : r.flow_graph) out("graph", v);
  return out.text;
}

}  // namespace dpi_test
