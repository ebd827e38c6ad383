// Routine records: corrupt record bodies, one case per failure path.
#include <gtest/gtest.h>

#include "base/catalog.h"
#include "dpi_test_support.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiImage;
using profile_writer::DpiLayout;
using profile_writer::dpi_image;
using profile_writer::get_u32;
using profile_writer::get_u64;
using profile_writer::patch_u32;
using profile_writer::patch_u64;

// Payload offsets of a segmented main record without flags bit 20.
constexpr uint64_t kEntryCnt = 12, kBlockCnt = 16, kEdgeCnt = 20, kSiteCnt = 24, kFileOff = 40;

bool is_assertion(const std::string& err, const char* path, const char* condition) {
  return err.rfind(std::string(path) + ":", 0) == 0 &&
         err.find(std::string(" ASSERTX(") + condition + ")\n") != std::string::npos;
}

std::string patched32(std::string bytes, uint64_t at, uint32_t v) {
  patch_u32(bytes, at, v);
  return bytes;
}
std::string patched64(std::string bytes, uint64_t at, uint64_t v) {
  patch_u64(bytes, at, v);
  return bytes;
}
std::string with_kind(const std::string& bytes, uint64_t at, uint32_t kind) {
  return patched32(bytes, at, (get_u32(bytes, at) & ~0x3F00u) | (kind << 8));
}

TEST(DpiRecord, CorruptRecordsEndTheRun) {
  e2e::TempDir dir;
  const DpiImage seg = dpi_image(basic_program(), DpiLayout::kSegmented);
  const DpiImage toc = dpi_image(basic_program(), DpiLayout::kSegmentedToc);
  const DpiImage fixed = dpi_image(basic_program(), DpiLayout::kFixed);
  const DpiImage ext = dpi_image(rich_program(), DpiLayout::kSegmented);
  const uint64_t main_at = seg.record_pos[0], main_len = get_u64(seg.bytes, main_at - 8);
  const std::string corrupt =
      error_prefix(vorel::kMsgFileCorrupt) + "File '" + dir.file("t.dpi") + "' is corrupt.\n";
  const std::string incompatible =
      error_prefix(vorel::kMsgIncompatibleFormat) + dir.file("t.dpi") +
      " has old or incompatible file format. Delete file and redo instrumentation compilation/execution.\n";
  std::string open_end = fixed.bytes;  // a name at the last byte, without its zero
  patch_u32(open_end, fixed.record_pos[0] + 36, static_cast<uint32_t>(open_end.size() - 1));
  open_end.back() = 'x';
  std::string unterminated = seg.bytes;  // the last string, an entry name, loses its zero
  unterminated[main_at + main_len - 1] = 'x';
  const uint64_t root_payload = main_at + main_len + 16;
  struct Case {
    const char* what;
    std::string bytes;
    bool at_load;              // the index is built; loading the record fails
    std::string err;           // exact, or "ASSERTX(condition)"
  } cases[] = {
      {"kind 2 record", with_kind(seg.bytes, seg.record_pos[2], 2), false, incompatible},
      {"fixed kind 3", with_kind(fixed.bytes, fixed.record_pos[0], 3), false, incompatible},
      {"extended kind 2", with_kind(ext.bytes, ext.record_pos[0], 2), false, incompatible},
      {"older record in a segmented file",
       patched32(seg.bytes, main_at, get_u32(seg.bytes, main_at) & ~0x40u), false,
       "ASSERTX(!ZENTRA_FILE_NODE_is_extensible(input_file))"},
      {"string offset below the payload", patched64(seg.bytes, main_at + kFileOff, 1), false,
       "ASSERTX(offset < buf_max)"},
      {"string offset past the payload", patched64(seg.bytes, main_at + kFileOff, main_at + main_len),
       false, "ASSERTX(offset < buf_max)"},
      {"root length beyond the name", patched32(seg.bytes, root_payload, 100), false,
       "ASSERTX(DPI_src_root(dpi) <= strlen(dpi->file_name))"},
      {"string without its zero", unterminated, true, corrupt},
      {"X beyond the payload", patched32(ext.bytes, ext.record_pos[0] + 32, 0x40000000), false, corrupt},
      {"Y beyond the payload", patched32(ext.bytes, ext.record_pos[0] + 36, 0x40000000), false, corrupt},
      {"Z beyond the payload", patched32(ext.bytes, ext.record_pos[0] + 40, 0x40000000), true, corrupt},
      {"older file name past the file",
       patched32(fixed.bytes, fixed.record_pos[0] + 32, static_cast<uint32_t>(fixed.bytes.size())),
       false, corrupt},
      {"older block count", patched32(fixed.bytes, fixed.record_pos[0] + 12, 0x7FFFFFFF), false, corrupt},
      {"older name without its zero", open_end, false, corrupt},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  // Counts beyond the payload: the table of contents indexes the file without
  // reading the records, the walk reads them while indexing.
  for (uint64_t field : {kEntryCnt, kBlockCnt, kEdgeCnt, kSiteCnt})
    for (uint32_t count : {1000u, 0xFFFFFFFFu}) {
      std::string bytes = patched32(toc.bytes, toc.record_pos[0] + field, count);
      all.push_back({"count with a table of contents", bytes, true, corrupt});
      all.push_back({"count without", patched64(bytes, 544, 0), false, corrupt});  // no properties
    }
  for (const Case& c : all) {
    SCOPED_TRACE(c.what);
    Opened o = open_bytes(dir, c.bytes);
    std::optional<int> status = o.status;
    std::string err = o.err;
    if (c.at_load) {
      ASSERT_TRUE(o.file) << o.err;
      Loaded l = load_all(o.file.get());
      status = l.status;
      err = l.err;
    }
    EXPECT_EQ(status, 1);
    if (c.err.rfind("ASSERTX(", 0) == 0)
      EXPECT_TRUE(is_assertion(err, "shared/zentra/client", c.err.substr(8, c.err.size() - 9).c_str())) << err;
    else
      EXPECT_EQ(err, c.err);
  }
  // With flags bit 20 both kinds 3 and 4 are accepted.
  EXPECT_TRUE(open_bytes(dir, with_kind(ext.bytes, ext.record_pos[0], 4)).file);
}

}  // namespace
