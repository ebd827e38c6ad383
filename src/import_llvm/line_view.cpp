#include "import_llvm/line_view.h"

namespace import_llvm {

std::vector<std::pair<uint32_t, uint64_t>> mapped_lines(const std::vector<LlvmSegment>& segments, bool newer) {
  std::vector<std::pair<uint32_t, uint64_t>> out;
  const LlvmSegment* wrapped = nullptr;
  size_t next = 0;
  for (uint32_t line = 1; next < segments.size(); ++line) {
    if (segments[next].line > line) {
      // Lines without segments: the wrapped segment alone decides, up to the
      // next segment's line.
      if (wrapped && wrapped->has_count)
        for (; line < segments[next].line; ++line) out.emplace_back(line, wrapped->count);
      line = segments[next].line;
    }
    const size_t first = next;
    while (next < segments.size() && segments[next].line == line) ++next;
    size_t starts = 0;
    bool entry = false;  // a counted region (or gap) is entered on the line
    uint64_t count = wrapped ? wrapped->count : 0;
    for (size_t i = first; i < next; ++i) {
      const LlvmSegment& s = segments[i];
      entry = entry || (s.has_count && s.region_entry);
      if (s.has_count && s.region_entry && !s.gap) {
        ++starts;
        if (s.count > count) count = s.count;
      }
    }
    const bool skipped = !segments[first].has_count && segments[first].region_entry;
    // The same data gives different lines with llvm-cov 14 and 19: the
    // newer one maps `/* comment */ code;` (a skipped region starts it).
    const bool mapped = !skipped && ((wrapped && wrapped->has_count) || starts > 0);
    if (mapped || (newer && entry)) out.emplace_back(line, count);
    wrapped = &segments[next - 1];
  }
  return out;
}

}  // namespace import_llvm
