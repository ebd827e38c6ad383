#include "dpi_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

#include "driver/diag.h"

namespace dpi_test {

using namespace profile_writer;

Routine routine(const std::string& name, std::vector<uint64_t> counts) {
  Routine r;
  r.name = name;
  uint32_t line = 10;
  for (uint64_t c : counts) {
    Block b;
    b.count = c;
    b.line = line++;
    b.col = 3;
    r.blocks.push_back(b);
  }
  return r;
}

Program one_file(std::vector<Routine> routines, uint32_t runs) {
  Program p;
  p.runs = runs;
  SourceFile f;
  f.root = "/r/";
  f.name = "a.c";
  f.routines = std::move(routines);
  Module m;
  m.name = "m.obj";
  m.files.push_back(std::move(f));
  p.modules.push_back(std::move(m));
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
  Module m;
  m.name = "m.obj";
  m.root = "/build/src/";
  m.files.push_back(SourceFile{"/build/src/", "a.c", {main_r, helper, skipped}});
  m.files.push_back(SourceFile{"/build/src/", "b.c", {target, method}});
  p.modules.push_back(std::move(m));
  return p;
}

Routine rich_routine() {
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
  return r;
}

Program rich_program() {
  Routine packed = routine("packed", {3, 4});
  packed.position_mode = 2;
  packed.blocks[0].end_line = 12;
  packed.blocks[0].end_col = 9;
  Routine bare = routine("bare", {1, 1, 1});
  bare.position_mode = 0;
  bare.entries = {EntryPoint{"bare", 0}, EntryPoint{"bare2", 2}};
  return one_file({rich_routine(), packed, bare}, 3);
}

Opened open_dpi(const std::string& path, const vorel::DpiOpenOptions& options) {
  Opened o;
  testing::internal::CaptureStderr();
  try {
    o.file.reset(vorel::DPI_open(path.c_str(), options));
  } catch (const vorel::FatalExit& e) {
    o.status = e.status;
  }
  o.err = testing::internal::GetCapturedStderr();
  return o;
}

Opened open_bytes(const e2e::TempDir& dir, const std::string& bytes,
                  const vorel::DpiOpenOptions& options) {
  std::string path = dir.file("t.dpi");
  e2e::write_file(path, bytes);
  return open_dpi(path, options);
}

Loaded load_all(vorel::dpi_file* f) {
  Loaded l;
  testing::internal::CaptureStderr();
  try {
    for (const vorel::dpi_toc_entry& e : f->index) l.routines.push_back(vorel::DPI_load_routine(f, e));
  } catch (const vorel::FatalExit& e) {
    l.status = e.status;
  }
  l.err = testing::internal::GetCapturedStderr();
  return l;
}

Captured capture(const std::function<void()>& fn) {
  Captured c;
  testing::internal::CaptureStderr();
  try {
    fn();
  } catch (const vorel::FatalExit& e) {
    c.status = e.status;
  }
  c.err = testing::internal::GetCapturedStderr();
  return c;
}

std::string warning_prefix(int number) { return "vorelcov: warning #" + std::to_string(number) + ": "; }
std::string error_prefix(int number) { return "vorelcov: error #" + std::to_string(number) + ": "; }

void patch32(std::string& bytes, uint64_t at, uint32_t v) { std::memcpy(&bytes[at], &v, 4); }
void patch64(std::string& bytes, uint64_t at, uint64_t v) { std::memcpy(&bytes[at], &v, 8); }
uint32_t get32(const std::string& bytes, uint64_t at) {
  uint32_t v;
  std::memcpy(&v, &bytes[at], 4);
  return v;
}
uint64_t get64(const std::string& bytes, uint64_t at) {
  uint64_t v;
  std::memcpy(&v, &bytes[at], 8);
  return v;
}

std::string segment(uint64_t tag, const std::string& payload) {
  std::string s;
  put_u64(s, tag);
  put_u64(s, payload.size());
  return s + payload;
}

void expect_same_index(const vorel::dpi_file& a, const vorel::dpi_file& b) {
  ASSERT_EQ(a.index.size(), b.index.size());
  EXPECT_EQ(a.runs, b.runs);
  EXPECT_EQ(a.max_entry_exec_count, b.max_entry_exec_count);
  for (size_t i = 0; i < a.index.size(); ++i) {
    const vorel::dpi_toc_entry& x = a.index[i];
    const vorel::dpi_toc_entry& y = b.index[i];
    EXPECT_EQ(x.key, y.key) << i;
    EXPECT_EQ(x.file_name, y.file_name) << i;
    EXPECT_EQ(x.func_name, y.func_name) << i;
    EXPECT_EQ(x.func_number, y.func_number) << i;
    EXPECT_EQ(x.flags, y.flags) << i;
    EXPECT_EQ(x.entry_exec_count, y.entry_exec_count) << i;
    EXPECT_EQ(x.file_order, y.file_order) << i;
  }
}

void expect_same_routine(const vorel::dpi_routine& a, const vorel::dpi_routine& b,
                         bool ignore_root_len) {
  EXPECT_EQ(a.flags & ~0x40ull & ~0x3F00ull, b.flags & ~0x40ull & ~0x3F00ull);
  EXPECT_EQ(a.value, b.value);
  EXPECT_EQ(a.entry_cnt, b.entry_cnt);
  EXPECT_EQ(a.block_cnt, b.block_cnt);
  EXPECT_EQ(a.E, b.E);
  EXPECT_EQ(a.X, b.X);
  EXPECT_EQ(a.Y, b.Y);
  EXPECT_EQ(a.Z, b.Z);
  EXPECT_EQ(a.V, b.V);
  EXPECT_EQ(a.func_number, b.func_number);
  EXPECT_EQ(a.attributes, b.attributes);
  EXPECT_EQ(a.file_name, b.file_name);
  EXPECT_EQ(a.func_name, b.func_name);
  EXPECT_EQ(a.vtbl_name, b.vtbl_name);
  EXPECT_EQ(a.address, b.address);
  EXPECT_EQ(a.vtbl_address, b.vtbl_address);
  ASSERT_EQ(a.blocks.size(), b.blocks.size());
  for (size_t i = 0; i < a.blocks.size(); ++i) {
    EXPECT_EQ(a.blocks[i].count, b.blocks[i].count) << i;
    EXPECT_EQ(a.blocks[i].start_line, b.blocks[i].start_line) << i;
    EXPECT_EQ(a.blocks[i].start_col, b.blocks[i].start_col) << i;
    EXPECT_EQ(a.blocks[i].end_line, b.blocks[i].end_line) << i;
    EXPECT_EQ(a.blocks[i].end_col, b.blocks[i].end_col) << i;
    EXPECT_EQ(a.blocks[i].extra, b.blocks[i].extra) << i;
  }
  EXPECT_EQ(a.edges, b.edges);
  EXPECT_EQ(a.x, b.x);
  EXPECT_EQ(a.y, b.y);
  EXPECT_EQ(a.z, b.z);
  ASSERT_EQ(a.vp_sites.size(), b.vp_sites.size());
  for (size_t i = 0; i < a.vp_sites.size(); ++i) {
    EXPECT_EQ(a.vp_sites[i].block_index, b.vp_sites[i].block_index);
    for (int t = 0; t < 4; ++t) {
      EXPECT_EQ(a.vp_sites[i].targets[t].address, b.vp_sites[i].targets[t].address);
      EXPECT_EQ(a.vp_sites[i].targets[t].virtual_marker, b.vp_sites[i].targets[t].virtual_marker);
      EXPECT_EQ(a.vp_sites[i].targets[t].count, b.vp_sites[i].targets[t].count);
    }
  }
  ASSERT_EQ(a.entries.size(), b.entries.size());
  for (size_t i = 0; i < a.entries.size(); ++i) {
    EXPECT_EQ(a.entries[i].name, b.entries[i].name);
    EXPECT_EQ(a.entries[i].block_index, b.entries[i].block_index);
    EXPECT_EQ(a.entries[i].extra, b.entries[i].extra);
  }
  if (!ignore_root_len) {
    EXPECT_EQ(a.src_root_len, b.src_root_len);
  }
  EXPECT_EQ(a.d1f0_value, b.d1f0_value);
  EXPECT_EQ(a.flow_graph, b.flow_graph);
}

}  // namespace dpi_test
