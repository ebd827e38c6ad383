// Address maps of a dynamic profile file: a routine address or a
// virtual-table address -> a value registered while the file is indexed.
//
// 991 buckets selected by address modulo 991; the bucket count never
// changes. An address registered more than once is ambiguous and resolves to
// nothing, wherever the second registration sits in its bucket. Each bucket
// is sorted by address on the first lookup after a registration, so that a
// file whose addresses crowd into one bucket cannot make lookups quadratic.
#pragma once

#include <cstdint>
#include <vector>

namespace vorel {

class DpiAddressMap {
 public:
  static constexpr uint64_t kBuckets = 991;

  void add(uint64_t address, uint32_t value);
  // The value registered once for `address`, or nullptr.
  const uint32_t* resolve(uint64_t address) const;
  void clear() { buckets_.clear(); }

 private:
  struct Node {
    uint64_t address;
    uint32_t value;
  };
  mutable std::vector<std::vector<Node>> buckets_;  // kBuckets once used
  mutable bool sorted_ = true;
};

}  // namespace vorel
