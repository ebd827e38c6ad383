#include "profile/dpi_address_map.h"

namespace vorel {

void DpiAddressMap::add(uint64_t address, uint32_t value) {
  if (buckets_.empty()) buckets_.resize(kBuckets);
  buckets_[address % kBuckets].push_back(Node{address, value});
}

const uint32_t* DpiAddressMap::resolve(uint64_t address) const {
  if (buckets_.empty()) return nullptr;
  const Node* found = nullptr;
  for (const Node& node : buckets_[address % kBuckets]) {
    if (node.address != address) continue;
    if (found) return nullptr;  // registered twice: ambiguous
    found = &node;
  }
  return found ? &found->value : nullptr;
}

}  // namespace vorel
