#include "import_llvm/line_view.h"

namespace import_llvm {

std::vector<std::pair<uint32_t, uint64_t>> mapped_lines(const std::vector<LlvmSegment>& segments) {
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
    uint64_t count = wrapped ? wrapped->count : 0;
    for (size_t i = first; i < next; ++i) {
      const LlvmSegment& s = segments[i];
      if (s.has_count && s.region_entry && !s.gap) {
        ++starts;
        if (s.count > count) count = s.count;
      }
    }
    const bool skipped = !segments[first].has_count && segments[first].region_entry;
    if (!skipped && ((wrapped && wrapped->has_count) || starts > 0)) out.emplace_back(line, count);
    wrapped = &segments[next - 1];
  }
  return out;
}

}  // namespace import_llvm
