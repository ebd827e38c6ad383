// The table of contents: used when valid, and every failed check falls back
// to the segment walk with the same index.
#include <gtest/gtest.h>

#include <functional>

#include "base/catalog.h"
#include "dpi_test_support.h"

namespace {

using namespace dpi_test;
using profile_writer::DpiLayout;
using profile_writer::get_u64;
using profile_writer::patch_u32;
using profile_writer::patch_u64;
using profile_writer::segment;

// Offsets inside the table-of-contents segment at `t`.
constexpr uint64_t kVersion = 16, kCount = 20, kFileCount = 24, kSlots = 28, kSection = 32,
                   kNames = 40;
// Offsets inside a routine entry, from its u64 size.
constexpr uint64_t kFuncOff = 8, kPos0 = 24, kLen0 = 64, kExecCount = 128, kFileIndex = 140,
                   kFuncLen = 144;

uint64_t first_entry(const std::string& b, uint64_t t) { return t + kNames + get_u64(b, t + kSection); }
uint64_t next_entry(const std::string& b, uint64_t e) { return e + 8 + get_u64(b, e); }

vorel::DpiOpenOptions rooted() {
  vorel::DpiOpenOptions o;
  o.src_root = "/NEW/";
  return o;
}

TEST(DpiToc, EveryFailedCheckFallsBackToTheSameIndex) {
  e2e::TempDir dir;
  profile_writer::write_dpi(basic_program(), dir.file("w.dpi"), DpiLayout::kSegmented);
  Opened walk = open_dpi(dir.file("w.dpi"), rooted());
  ASSERT_TRUE(walk.file) << walk.err;

  profile_writer::DpiImage image = profile_writer::dpi_image(basic_program(), DpiLayout::kSegmentedToc);
  const uint64_t t = image.toc_pos;
  using Patch = std::function<void(std::string&)>;
  const std::pair<const char*, Patch> patches[] = {
      {"tag", [&](std::string& b) { patch_u64(b, t, 0xD70D); }},
      {"version", [&](std::string& b) { patch_u32(b, t + kVersion, 2); }},
      {"section count", [&](std::string& b) { patch_u32(b, t + kCount, 3); }},
      {"slots 0", [&](std::string& b) { patch_u32(b, t + kSlots, 0); }},
      {"slots 6", [&](std::string& b) { patch_u32(b, t + kSlots, 6); }},
      {"section past segment", [&](std::string& b) { patch_u64(b, t + kSection, get_u64(b, t + 8)); }},
      {"file count too large", [&](std::string& b) { patch_u32(b, t + kFileCount, 0x10000000); }},
      {"name past section", [&](std::string& b) { patch_u32(b, t + kNames + 4, 0x1000); }},
      {"file index twice", [&](std::string& b) { patch_u32(b, t + kNames, 1); }},
      {"root longer than name", [&](std::string& b) { patch_u32(b, t + kNames + 8, 100); }},
      // A NUL inside a name (not only after it, as the counted terminator).
      {"NUL inside a file name", [&](std::string& b) { b[t + kNames + 16] = '\0'; }},
      {"NUL inside a routine name",
       [&](std::string& b) { b[get_u64(b, first_entry(b, t) + kFuncOff)] = '\0'; }},
      {"zero first position", [&](std::string& b) { patch_u64(b, first_entry(b, t) + kPos0, 0); }},
      {"position past file",
       [&](std::string& b) { patch_u64(b, next_entry(b, first_entry(b, t)) + kPos0, b.size()); }},
      {"length past file", [&](std::string& b) { patch_u64(b, first_entry(b, t) + kLen0, b.size()); }},
      {"unknown file index", [&](std::string& b) { patch_u32(b, first_entry(b, t) + kFileIndex, 2); }},
      {"name past entry", [&](std::string& b) { patch_u32(b, first_entry(b, t) + kFuncLen, 100); }},
      {"name before entry", [&](std::string& b) { patch_u64(b, first_entry(b, t) + kFuncOff, 8); }},
      {"entry size too small", [&](std::string& b) { patch_u64(b, first_entry(b, t), 80); }},
      {"entry size past segment", [&](std::string& b) { patch_u64(b, first_entry(b, t), 0x100000); }},
  };
  for (const auto& [what, patch] : patches) {
    SCOPED_TRACE(what);
    std::string bytes = image.bytes;
    // Only the table holds this count: an index with it did not fall back.
    patch_u64(bytes, first_entry(bytes, t) + kExecCount, 999);
    patch(bytes);
    Opened o = open_bytes(dir, bytes, rooted());
    ASSERT_TRUE(o.file) << o.err;
    if (std::string(what) == "tag")  // the walk meets 0xD70D as a skippable segment
      EXPECT_EQ(o.err.rfind(warning_prefix(vorel::kMsgSkippableSegment), 0), 0u);
    else
      EXPECT_EQ(o.err, "");
    EXPECT_EQ(dump_index(*o.file), dump_index(*walk.file));
    Loaded l = load_all(o.file.get());
    EXPECT_FALSE(l.status) << l.err;
  }
}

}  // namespace
