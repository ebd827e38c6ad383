#include "profile/dpi_address_map.h"

#include <algorithm>

namespace vorel {

void DpiAddressMap::add(uint64_t address, uint32_t value) {
  if (buckets_.empty()) buckets_.resize(kBuckets);
  buckets_[address % kBuckets].push_back(Node{address, value});
  sorted_ = false;
}

const uint32_t* DpiAddressMap::resolve(uint64_t address) const {
  if (buckets_.empty()) return nullptr;
  if (!sorted_) {
    for (std::vector<Node>& chain : buckets_)
      std::stable_sort(chain.begin(), chain.end(),
                       [](const Node& a, const Node& b) { return a.address < b.address; });
    sorted_ = true;
  }
  const std::vector<Node>& chain = buckets_[address % kBuckets];
  auto it = std::lower_bound(chain.begin(), chain.end(), address,
                             [](const Node& n, uint64_t a) { return n.address < a; });
  if (it == chain.end() || it->address != address) return nullptr;
  if (it + 1 != chain.end() && (it + 1)->address == address) return nullptr;  // ambiguous
  return &it->value;
}

}  // namespace vorel
