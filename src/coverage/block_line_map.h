// The source lines of one block, from a routine's static line map.
#pragma once

#include <cstdint>
#include <span>

namespace vorel {

struct BlockLineMap {
  uint32_t block_index = 0;
  std::span<const uint32_t> entries;  // source lines covered by the block
  uint32_t first_entry = 0;           // the kind-5 record's first-entry word
  uint32_t kept_value = 0;            // and its kept value (profile/branch_tag.h)
};

}  // namespace vorel
