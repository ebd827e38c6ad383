// One program description written in every dynamic layout loads the same.
#include <gtest/gtest.h>

#include "dpi_test_support.h"
#include "profile/dpi_record.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;

TEST(DpiLayout, AllLayoutsGiveTheSameIndexAndRecords) {
  e2e::TempDir dir;
  // The fixed layout cannot re-root: configure the root it was written under.
  vorel::DpiOpenOptions options;
  options.src_root = "/build/src/";
  std::vector<Opened> opened;
  std::vector<Loaded> loaded;
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented, DpiLayout::kSegmentedToc}) {
    opened.push_back(open_bytes(dir, profile_writer::dpi_image(basic_program(), layout).bytes, options));
    ASSERT_TRUE(opened.back().file) << opened.back().err;
    EXPECT_EQ(opened.back().err, "");
    loaded.push_back(load_all(opened.back().file.get()));
    ASSERT_FALSE(loaded.back().status) << loaded.back().err;
  }
  for (size_t l = 1; l < opened.size(); ++l) {
    EXPECT_EQ(dump_index(*opened[l].file), dump_index(*opened[0].file));
    for (size_t i = 0; i < loaded[0].routines.size(); ++i)
      EXPECT_EQ(dump_routine(*loaded[l].routines[i], false), dump_routine(*loaded[0].routines[i], false));
  }

  // Worked out from the description: four dynamic routines (static_only has
  // no dynamic record) in key order; file order as written.
  const vorel::DpiFile& f = *opened[1].file;
  std::string keys;
  for (const vorel::DpiIndexEntry& e : f.index) keys += vorel::dpi_entry_key(e) + std::to_string(e.file_order) + " ";
  EXPECT_EQ(keys, "C::m'/build/src/b.c'3 helper'/build/src/a.c'1 main'/build/src/a.c'0 target'/build/src/b.c'2 ");
  EXPECT_EQ(f.index[1].flags, 0u);  // static, not indirectly called
  EXPECT_EQ(f.index[3].flags, 3u);
  EXPECT_EQ(f.index[3].entry_exec_count, 4u);  // max(8, 2) / 2 runs
  const vorel::DpiRoutine& main_r = *loaded[1].routines[2];
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
  profile_writer::DpiImage image = profile_writer::dpi_image(rich_program(), DpiLayout::kSegmented);
  Opened s = open_bytes(dir, image.bytes);
  ASSERT_TRUE(s.file) << s.err;
  Loaded ls = load_all(s.file.get());
  Opened t = open_bytes(dir, profile_writer::dpi_image(rich_program(), DpiLayout::kSegmentedToc).bytes);
  ASSERT_TRUE(t.file) << t.err;
  Loaded lt = load_all(t.file.get());
  ASSERT_FALSE(ls.status || lt.status) << ls.err << lt.err;
  EXPECT_EQ(dump_index(*t.file), dump_index(*s.file));
  for (size_t i = 0; i < ls.routines.size(); ++i)
    EXPECT_EQ(dump_routine(*lt.routines[i]), dump_routine(*ls.routines[i]));

  // Index order: bare, packed, rich.
  const vorel::DpiRoutine& r = *ls.routines[2];
  // Every field of rich_program()'s "rich", worked out from its description.
  EXPECT_EQ(dump_routine(r), e2e::read_file(e2e::source_dir() + "/tests/unit/expected/dpi_rich_routine.txt")
                                 .value_or("<missing>"));
  EXPECT_EQ(vorel::dpi_position_mode(r), 3);
  const vorel::DpiBlock& packed = ls.routines[1]->blocks[0];
  EXPECT_EQ(std::make_tuple(packed.start_line, packed.start_col, packed.end_line, packed.end_col),
            std::make_tuple(10u, 3u, 12u, 9u));
  EXPECT_EQ(ls.routines[1]->blocks[1].start_col, 1000u);
  EXPECT_EQ(vorel::dpi_position_mode(*ls.routines[0]), 0);
  EXPECT_FALSE(vorel::dpi_block_position_known(*ls.routines[0], 0));
}

}  // namespace
