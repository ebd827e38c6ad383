// llvm-cov's line view from segments: which lines are mapped, and their
// counts (worked out from llvm-cov's rules: the wrapped segment and the code
// regions that start on a line; gap regions start no count; a line that
// starts a skipped region is not mapped).
#include "import_llvm/line_view.h"

#include <gtest/gtest.h>

namespace {

using import_llvm::LlvmSegment;
using Lines = std::vector<std::pair<uint32_t, uint64_t>>;

LlvmSegment seg(uint32_t line, uint32_t col, uint64_t count, bool has_count, bool entry, bool gap = false) {
  return LlvmSegment{line, col, count, has_count, entry, gap};
}

TEST(LineView, FollowsLlvmCovsRules) {
  struct Case {
    const char* what;
    std::vector<LlvmSegment> segments;
    Lines want;
    bool newer = false;
  } cases[] = {
      {"a region over three lines; the line after its end is not mapped",
       {seg(2, 5, 4, true, true), seg(4, 2, 0, false, false)}, {{2, 4}, {3, 4}, {4, 4}}},
      {"the largest of the wrapped count and the regions starting on the line",
       {seg(1, 1, 3, true, true), seg(2, 3, 9, true, true), seg(2, 8, 3, true, false), seg(3, 1, 0, false, false)},
       {{1, 3}, {2, 9}, {3, 3}}},
      {"a gap region raises no count; a line wrapped by a gap takes its count",
       {seg(1, 1, 2, true, true), seg(1, 9, 7, true, true, true), seg(2, 3, 7, true, true),
        seg(2, 9, 0, false, false)},
       {{1, 2}, {2, 7}}},
      {"a line starting a skipped region is not mapped, nor one it wraps into without a region start",
       {seg(1, 1, 1, true, true), seg(2, 1, 0, false, true), seg(4, 1, 1, true, false), seg(5, 1, 0, false, false)},
       {{1, 1}, {5, 1}}},
      {"lines with no segment after an uncounted one are not mapped",
       {seg(1, 1, 1, true, true), seg(1, 5, 0, false, false), seg(3, 1, 6, true, true),
        seg(3, 4, 0, false, false)},
       {{1, 1}, {3, 6}}},
      {"`/* comment */ code;` on line 2: not mapped by llvm-cov 14",
       {seg(1, 1, 5, true, true), seg(2, 1, 0, false, true), seg(2, 12, 5, true, false), seg(2, 14, 5, true, true),
        seg(3, 1, 0, false, false)},
       {{1, 5}, {3, 5}}},
      {"`/* comment */ code;` on line 2: mapped by llvm-cov 18 and later",
       {seg(1, 1, 5, true, true), seg(2, 1, 0, false, true), seg(2, 12, 5, true, false), seg(2, 14, 5, true, true),
        seg(3, 1, 0, false, false)},
       {{1, 5}, {2, 5}, {3, 5}}, true},
  };
  for (const Case& c : cases) EXPECT_EQ(import_llvm::mapped_lines(c.segments, c.newer), c.want) << c.what;
}

}  // namespace
