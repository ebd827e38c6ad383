// llvm-cov's line view, computed from a file's segments: a line is mapped
// (executable) unless it starts a skipped region, when the segment that
// wraps into it (the last one of an earlier line) has a count or a code
// region starts on it; its count is the largest of the wrapped segment's
// count and the counts of the code regions that start on it. Lines after
// the last segment's line are not mapped.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "import_llvm/llvm_json.h"

namespace import_llvm {

// (line, count) of every mapped line, ascending. `segments` ascend.
// `newer`: llvm-cov 18 and later's rule, which also maps a line on which a
// counted region (or gap) is entered, even when a skipped region (a
// comment) starts it.
std::vector<std::pair<uint32_t, uint64_t>> mapped_lines(const std::vector<LlvmSegment>& segments, bool newer);

}  // namespace import_llvm
