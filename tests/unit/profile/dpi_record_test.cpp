// Routine records: record kinds, entry execution counts, re-rooting, the
// record accessors, and corrupt record bodies.
#include <gtest/gtest.h>

#include "driver/catalog.h"
#include "dpi_test_support.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;

// Payload offsets of a segmented main record without flags bit 20.
constexpr uint64_t kEntryCnt = 12, kBlockCnt = 16, kEdgeCnt = 20, kSiteCnt = 24, kFileOff = 40;

std::string corrupt_message(const e2e::TempDir& dir) {
  return error_prefix(vorel::kMsgFileCorrupt) + "File '" + dir.file("t.dpi") + "' is corrupt.\n";
}

bool is_assertion(const std::string& err, const char* path, const char* condition) {
  return err.rfind(std::string(path) + ":", 0) == 0 &&
         err.find(std::string(" ASSERTX(") + condition + ")\n") != std::string::npos;
}

TEST(DpiRecord, EntryExecutionCountIsTheLargestEntryBlockOverTheRuns) {
  e2e::TempDir dir;
  profile_writer::Routine two = routine("two", {10, 40, 3});
  two.entries = {{"two", 0}, {"two_b", 1}};
  profile_writer::Routine odd = routine("odd", {9, 99});
  odd.entries = {{"odd", 0}, {"odd_b", 7}};  // block 7 does not exist: counts 0
  for (DpiLayout layout : {DpiLayout::kFixed, DpiLayout::kSegmented}) {
    Opened o = open_bytes(dir, profile_writer::dpi_image(one_file({two, odd}, 4), layout).bytes);
    ASSERT_TRUE(o.file) << o.err;
    EXPECT_EQ(o.file->index[0].func_name, "odd");
    EXPECT_EQ(o.file->index[0].entry_exec_count, 2u);   // 9 / 4
    EXPECT_EQ(o.file->index[1].entry_exec_count, 10u);  // 40 / 4
    EXPECT_EQ(o.file->max_entry_exec_count, 10u);
  }
}

TEST(DpiRecord, RecordKindMustFitTheRecord) {
  e2e::TempDir dir;
  profile_writer::DpiImage seg = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented);
  profile_writer::DpiImage fixed = profile_writer::dpi_image(basic_program(), DpiLayout::kFixed);
  profile_writer::DpiImage ext = profile_writer::dpi_image(rich_program(), DpiLayout::kSegmented);
  auto with_kind = [](std::string bytes, uint64_t at, uint32_t kind) {
    patch32(bytes, at, (get32(bytes, at) & ~0x3F00u) | (kind << 8));
    return bytes;
  };
  std::string incompatible = error_prefix(vorel::kMsgIncompatibleFormat) + dir.file("t.dpi") +
                             " has old or incompatible file format. Delete file and redo "
                             "instrumentation compilation/execution.\n";
  for (const std::string& bytes : {with_kind(seg.bytes, seg.record_pos[2], 2),
                                   with_kind(fixed.bytes, fixed.record_pos[0], 3),
                                   with_kind(ext.bytes, ext.record_pos[0], 2)}) {
    Opened o = open_bytes(dir, bytes);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, incompatible);
  }
  // With flags bit 20 both kinds 3 and 4 are accepted.
  Opened o = open_bytes(dir, with_kind(ext.bytes, ext.record_pos[0], 4));
  EXPECT_TRUE(o.file) << o.err;
}

TEST(DpiRecord, OlderRecordInASegmentedFileIsAnAssertion) {
  e2e::TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented);
  patch32(image.bytes, image.record_pos[0], get32(image.bytes, image.record_pos[0]) & ~0x40u);
  Opened o = open_bytes(dir, image.bytes);
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(is_assertion(o.err, "shared/zentra/client", "!ZENTRA_FILE_NODE_is_extensible(input_file)"))
      << o.err;
}

TEST(DpiRecord, CountsBeyondThePayloadAreCorrupt) {
  e2e::TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmentedToc);
  uint64_t main_at = image.record_pos[0];
  for (uint64_t field : {kEntryCnt, kBlockCnt, kEdgeCnt, kSiteCnt}) {
    for (uint32_t count : {0x7FFFFFFFu, 0xFFFFFFFFu, 1000u}) {
      std::string bytes = image.bytes;
      patch32(bytes, main_at + field, count);
      // The table of contents indexes the file without reading the records...
      Opened o = open_bytes(dir, bytes);
      ASSERT_TRUE(o.file) << o.err;
      // ...and loading the record finds the corruption.
      Loaded l = load_all(o.file.get());
      EXPECT_EQ(l.status, 1) << field;
      EXPECT_EQ(l.err, corrupt_message(dir));
      // The walk reads the record while indexing.
      patch64(bytes, 544, 0);  // properties: no table of contents
      o = open_bytes(dir, bytes);
      EXPECT_EQ(o.status, 1);
      EXPECT_EQ(o.err, corrupt_message(dir));
    }
  }
}

TEST(DpiRecord, ExtendedCountsBeyondThePayloadAreCorrupt) {
  e2e::TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(rich_program(), DpiLayout::kSegmented);
  for (uint64_t field : {32, 36, 40}) {  // X, Y, Z
    std::string bytes = image.bytes;
    patch32(bytes, image.record_pos[0] + field, 0x40000000);
    e2e::write_file(dir.file("t.dpi"), bytes);
    Captured c = capture([&] {
      vorel::dpi_file_ptr f(vorel::DPI_open(dir.file("t.dpi").c_str(), {}));
      for (const auto& e : f->index) vorel::DPI_load_routine(f.get(), e);
    });
    EXPECT_EQ(c.status, 1) << field;
    EXPECT_EQ(c.err, corrupt_message(dir));
  }
}

TEST(DpiRecord, StringOffsetsOutsideThePayloadAreAssertions) {
  e2e::TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented);
  uint64_t at = image.record_pos[0];
  uint64_t len = get64(image.bytes, at - 8);
  for (uint64_t off : {uint64_t{1}, at - 1, at + len, ~uint64_t{0}}) {
    std::string bytes = image.bytes;
    patch64(bytes, at + kFileOff, off);
    Opened o = open_bytes(dir, bytes);
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(is_assertion(o.err, "shared/zentra/client", "offset < buf_max")) << o.err;
  }
  // A string without its terminating zero before the end of the payload.
  std::string bytes = image.bytes;
  bytes[at + len - 1] = 'x';
  Opened o = open_bytes(dir, bytes);
  ASSERT_TRUE(o.file) << o.err;  // the last string is an entry name, not read by the index
  Loaded l = load_all(o.file.get());
  EXPECT_EQ(l.status, 1);
  EXPECT_EQ(l.err, corrupt_message(dir));
}

TEST(DpiRecord, OlderRecordStringsAndCountsAreChecked) {
  e2e::TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), DpiLayout::kFixed);
  uint64_t at = image.record_pos[0];
  std::string past = image.bytes;
  patch32(past, at + 32, static_cast<uint32_t>(past.size()));  // file-name offset
  std::string huge = image.bytes;
  patch32(huge, at + 12, 0x7FFFFFFF);  // block count
  std::string open_end = image.bytes;
  patch32(open_end, at + 36, static_cast<uint32_t>(open_end.size() - 1));  // name at the last byte
  open_end.back() = 'x';
  for (const std::string& bytes : {past, huge, open_end}) {
    Opened o = open_bytes(dir, bytes);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, corrupt_message(dir));
  }
}

TEST(DpiRecord, SourceRootLengthIsReplacedByTheConfiguredRoot) {
  e2e::TempDir dir;
  profile_writer::Program p = one_file({routine("f", {1})});
  p.modules[0].files[0].root = "/abcdef/";  // 8 characters
  std::string bytes = profile_writer::dpi_image(p, DpiLayout::kSegmented).bytes;
  vorel::DpiOpenOptions options;
  options.src_root = "C:\\SRC\\";
  Opened o = open_bytes(dir, bytes, options);
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(o.file->index[0].file_name, "C:\\SRC\\a.c");
  EXPECT_EQ(o.file->index[0].key, "f'C:\\SRC\\a.c'");
  EXPECT_EQ(vorel::DPI_find_any(o.file.get(), "C:\\SRC\\a.c", "f"), &o.file->index[0]);
  EXPECT_FALSE(o.file->some_routine_has_src_root);
  Loaded l = load_all(o.file.get());
  ASSERT_EQ(l.routines.size(), 1u);
  EXPECT_EQ(l.routines[0]->file_name, "/abcdef/a.c");  // the loader keeps the stored name
  EXPECT_EQ(vorel::DPI_src_root(*l.routines[0]), 8u);
  EXPECT_TRUE(o.file->some_routine_has_src_root);

  o = open_bytes(dir, bytes);  // no root configured: the stored root is removed
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(o.file->index[0].file_name, "a.c");
}

TEST(DpiRecord, TooLongReplacementKeepsTheStoredName) {
  e2e::TempDir dir;
  profile_writer::Program p = one_file({routine("f", {1})});
  std::string bytes = profile_writer::dpi_image(p, DpiLayout::kSegmented).bytes;
  std::string toc = profile_writer::dpi_image(p, DpiLayout::kSegmentedToc).bytes;
  vorel::DpiOpenOptions options;
  options.src_root = std::string(256, 'R');  // 256 + 1 + strlen("a.c") = 260: still fits
  Opened o = open_bytes(dir, bytes, options);
  ASSERT_TRUE(o.file) << o.err;
  EXPECT_EQ(o.file->index[0].file_name, options.src_root + "a.c");
  options.src_root += 'R';
  for (const std::string& b : {bytes, toc}) {
    o = open_bytes(dir, b, options);
    ASSERT_TRUE(o.file) << o.err;
    EXPECT_EQ(o.file->index[0].file_name, "/r/a.c");
    EXPECT_EQ(o.err, warning_prefix(vorel::kMsgSrcRootTooLong) +
                         "Replacement using source root directory for '/r/a.c' is too long. Will "
                         "not update root directory.\n");
  }
}

TEST(DpiRecord, RootLengthBeyondTheNameIsAnAssertion) {
  e2e::TempDir dir;
  profile_writer::DpiImage image =
      profile_writer::dpi_image(one_file({routine("f", {1})}), DpiLayout::kSegmented);
  uint64_t root_payload = image.record_pos[0] + get64(image.bytes, image.record_pos[0] - 8) + 16;
  patch32(image.bytes, root_payload, 7);  // the name "/r/a.c" has 6 characters
  Opened o = open_bytes(dir, image.bytes);
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(is_assertion(o.err, "shared/zentra/client", "DPI_src_root(dpi) <= strlen(dpi->file_name)"))
      << o.err;
}

TEST(DpiRecord, AccessorsGrowAndGuardTheBlocks) {
  vorel::dpi_routine r;
  r.block_cnt = 2;
  r.blocks = {vorel::dpi_block{5, 1, 2, 0, 0, 0}, vorel::dpi_block{6, 0, 3, 0, 0, 0}};
  EXPECT_TRUE(vorel::DPI_block_position_known(r, 0));
  EXPECT_FALSE(vorel::DPI_block_position_known(r, 1));  // line 0
  vorel::DPI_block_cnt_set(r, 4);
  EXPECT_EQ(vorel::DPI_block_cnt_get(r), 4u);
  ASSERT_EQ(r.blocks.size(), 4u);
  EXPECT_EQ(r.blocks[1].count, 6u);
  Captured c = capture([&] { vorel::DPI_block_cnt_set(r, 4); });
  EXPECT_EQ(c.status, 1);
  EXPECT_TRUE(is_assertion(c.err, "../dev/shared/zentra/kelvet", "new_block_cnt > DPI_block_cnt_get(dpi)"))
      << c.err;
  c = capture([&] { vorel::DPI_block_position_known(r, 4); });
  EXPECT_EQ(c.status, 1);
  EXPECT_TRUE(is_assertion(c.err, "../dev/shared/zentra/kelvet", "i < dpi->block_cnt")) << c.err;
}

}  // namespace

namespace {

size_t open_descriptors() {
  return e2e::list_dir("/proc/self/fd").size();
}

TEST(DpiRecord, FatalStopsLeaveNoStreamOpen) {
  e2e::TempDir dir;
  profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmented);
  patch32(image.bytes, image.record_pos[1] + kBlockCnt, 0x7FFFFFFF);
  e2e::write_file(dir.file("t.dpi"), image.bytes);
  size_t before = open_descriptors();
  for (int i = 0; i < 20; ++i) {
    Opened o = open_dpi(dir.file("t.dpi"));  // ends the run while indexing
    EXPECT_EQ(o.status, 1);
  }
  EXPECT_EQ(open_descriptors(), before);
}

}  // namespace
