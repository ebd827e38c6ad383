// The source lines of one block, from a routine's static line map.
#pragma once

#include <cstdint>
#include <span>

namespace vorel {

struct BlockLineMap {
  uint32_t block_index = 0;
  std::span<const uint32_t> entries;  // source lines covered by the block
};

}  // namespace vorel
