// One program description written in every dynamic layout loads the same.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "dpi_test_support.h"
#include "profile/dpi_record.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;

const DpiLayout kLayouts[] = {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc};

TEST(DpiLayout, AllLayoutsGiveTheSameIndexAndRecords) {
  e2e::TempDir dir;
  profile_writer::Program p = basic_program();
  // The fixed layout cannot re-root: configure the root it was written under.
  vorel::DpiOpenOptions options;
  options.src_root = "/build/src/";
  std::vector<Opened> opened;
  std::vector<Loaded> loaded;
  for (DpiLayout layout : kLayouts) {
    std::string path = dir.file("l" + std::to_string(static_cast<int>(layout)) + ".dpi");
    profile_writer::write_dpi(p, path, layout);
    opened.push_back(open_dpi(path, options));
    ASSERT_TRUE(opened.back().file) << opened.back().err;
    EXPECT_EQ(opened.back().err, "");
    loaded.push_back(load_all(opened.back().file.get()));
    ASSERT_FALSE(loaded.back().status) << loaded.back().err;
  }
  for (size_t l = 1; l < opened.size(); ++l) {
    expect_same_index(*opened[0].file, *opened[l].file);
    for (size_t i = 0; i < loaded[0].routines.size(); ++i)
      expect_same_routine(*loaded[0].routines[i], *loaded[l].routines[i], true);
  }

  // Worked out from the description: four dynamic routines (static_only has
  // no dynamic record) in key order, entry execution counts = largest
  // entry-block count / 2 runs.
  const vorel::dpi_file& f = *opened[1].file;
  ASSERT_EQ(f.index.size(), 4u);
  EXPECT_EQ(f.routine_count, 4u);
  EXPECT_EQ(f.index[0].key, "C::m'/build/src/b.c'");
  EXPECT_EQ(f.index[1].key, "helper'/build/src/a.c'");
  EXPECT_EQ(f.index[2].key, "main'/build/src/a.c'");
  EXPECT_EQ(f.index[3].key, "target'/build/src/b.c'");
  EXPECT_EQ(f.index[2].entry_exec_count, 5u);   // block 0: 10 / 2
  EXPECT_EQ(f.index[3].entry_exec_count, 4u);   // max(8, 2) / 2
  EXPECT_EQ(f.max_entry_exec_count, 5u);
  EXPECT_EQ(f.index[1].flags, 0u);              // static, not indirectly called
  EXPECT_EQ(f.index[3].flags, 3u);
  EXPECT_EQ(f.index[2].file_order, 0u);
  EXPECT_EQ(f.index[0].file_order, 3u);
  EXPECT_EQ(f.header_string, "vorelcov test profile");

  const vorel::dpi_routine& main_r = *loaded[1].routines[2];
  EXPECT_EQ(main_r.file_name, "/build/src/a.c");  // as stored
  EXPECT_EQ(main_r.src_root_len, 11u);
  EXPECT_EQ(main_r.blocks[2].count, 6u);
  EXPECT_EQ(main_r.blocks[2].start_line, 12u);
  EXPECT_EQ(main_r.edges, (std::vector<uint64_t>{4, 2}));
  EXPECT_EQ(main_r.vp_sites[0].targets[1].virtual_marker, 1u);
  EXPECT_EQ(main_r.vp_sites[0].targets[0].count, 5.0f);
  EXPECT_EQ(loaded[0].routines[2]->src_root_len, 0u);  // fixed layout
}

TEST(DpiLayout, SegmentedLayoutsKeepEveryField) {
  e2e::TempDir dir;
  profile_writer::Program p = rich_program();
  profile_writer::write_dpi(p, dir.file("s.dpi"), DpiLayout::kSegmented);
  profile_writer::write_dpi(p, dir.file("t.dpi"), DpiLayout::kSegmentedToc);
  Opened s = open_dpi(dir.file("s.dpi"));
  Opened t = open_dpi(dir.file("t.dpi"));
  ASSERT_TRUE(s.file && t.file) << s.err << t.err;
  expect_same_index(*s.file, *t.file);
  Loaded ls = load_all(s.file.get());
  Loaded lt = load_all(t.file.get());
  ASSERT_FALSE(ls.status || lt.status) << ls.err << lt.err;
  for (size_t i = 0; i < ls.routines.size(); ++i) expect_same_routine(*ls.routines[i], *lt.routines[i]);

  // Index order: bare, packed, rich.
  const vorel::dpi_routine& r = *ls.routines[2];
  EXPECT_EQ(r.func_name, "rich");
  EXPECT_EQ(r.value, 77u);
  EXPECT_EQ(r.X, 2u);
  EXPECT_EQ(r.Y, 2u);
  EXPECT_EQ(r.Z, 3u);
  EXPECT_EQ(r.y, (std::vector<uint64_t>{21, 22}));
  EXPECT_EQ(r.z, (std::vector<uint32_t>{31, 32, 33}));
  EXPECT_EQ(r.d1f0_value, 0xABCDu);
  EXPECT_EQ(r.flow_graph, (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(vorel::DPI_position_mode(r), 3);
  EXPECT_EQ(r.blocks[2].extra, 1u);
  EXPECT_EQ(r.blocks[3].start_col, 0x2345u);
  EXPECT_EQ(r.blocks[3].extra, 0u);
  EXPECT_EQ(r.entries[2].name, "rich_c");
  EXPECT_EQ(r.entries[2].block_index, 3u);
  EXPECT_EQ(r.vp_sites[1].targets[3].address, 5u);
  EXPECT_EQ(r.vp_sites[0].targets[1].address, 0u);  // unused target slots are empty
  EXPECT_EQ(s.file->index[2].entry_exec_count, 33u);  // max(100, 50, 7) / 3 runs

  const vorel::dpi_routine& bare = *ls.routines[0];
  EXPECT_EQ(vorel::DPI_position_mode(bare), 0);
  EXPECT_FALSE(vorel::DPI_block_position_known(bare, 0));
}

TEST(DpiLayout, PositionModeTwoUnpacksLineAndColumnWords) {
  e2e::TempDir dir;
  profile_writer::Routine r = routine("p", {1});
  r.position_mode = 2;
  r.blocks[0].line = 10;
  r.blocks[0].col = 5;
  r.blocks[0].end_line = 12;
  r.blocks[0].end_col = 9;
  profile_writer::DpiImage image = profile_writer::dpi_image(one_file({r}), DpiLayout::kSegmented);
  // The stored words are the ones the packing rule gives.
  std::string words;
  profile_writer::put_u32(words, 0x00002805);
  profile_writer::put_u32(words, 0x00003009);
  EXPECT_NE(image.bytes.find(words), std::string::npos);
  Opened o = open_bytes(dir, image.bytes);
  ASSERT_TRUE(o.file) << o.err;
  Loaded l = load_all(o.file.get());
  ASSERT_EQ(l.routines.size(), 1u);
  const vorel::dpi_block& b = l.routines[0]->blocks[0];
  EXPECT_EQ(b.start_line, 10u);
  EXPECT_EQ(b.start_col, 5u);
  EXPECT_EQ(b.end_line, 12u);
  EXPECT_EQ(b.end_col, 9u);
  EXPECT_TRUE(vorel::DPI_block_position_known(*l.routines[0], 0));
}

TEST(DpiLayout, FixedLayoutTruncatesFloatCounts) {
  e2e::TempDir dir;
  profile_writer::DpiImage image =
      profile_writer::dpi_image(one_file({routine("f", {3, 0, 0})}), DpiLayout::kFixed);
  uint64_t counts = image.record_pos[0] + 64;
  EXPECT_EQ(get32(image.bytes, counts), 0x40400000u);  // 3.0f
  float fractional = 2.75f;
  float big = 13835058055282163712.0f;  // 1.5 * 2^63
  std::memcpy(&image.bytes[counts + 4], &fractional, 4);
  std::memcpy(&image.bytes[counts + 8], &big, 4);
  Opened o = open_bytes(dir, image.bytes);
  ASSERT_TRUE(o.file) << o.err;
  Loaded l = load_all(o.file.get());
  ASSERT_EQ(l.routines.size(), 1u);
  EXPECT_EQ(l.routines[0]->blocks[0].count, 3u);
  EXPECT_EQ(l.routines[0]->blocks[1].count, 2u);
  EXPECT_EQ(l.routines[0]->blocks[2].count, 13835058055282163712ull);
  EXPECT_EQ(vorel::dpi_float_count(-1.0f), 0u);
  EXPECT_EQ(vorel::dpi_float_count(1e30f), UINT64_MAX);
  EXPECT_EQ(vorel::dpi_float_count(std::numeric_limits<float>::quiet_NaN()), 0u);
}

}  // namespace
