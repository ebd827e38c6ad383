// IdList: an id-indexed list holding one map of the static profile file's
// mapping section (modules, source files, routine names, data references).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vorel {

template <typename T>
class IdList {
 public:
  IdList() = default;
  // A list for `count` ids (1..count). A count of 0 gives an empty list.
  explicit IdList(uint32_t count) {
    if (count == 0) return;
    capacity_ = count + 1;
    elements_.resize(capacity_);
  }

  // Stores `element` under `id`. Returns false when the id is not between 1
  // and the announced count or its slot is taken (the caller reports
  // "Id for '%s' is out of range" as a corrupt file).
  bool add(uint32_t id, std::unique_ptr<T> element) {
    if (id < 1 || id >= capacity_ || elements_[id]) return false;
    elements_[id] = std::move(element);
    if (id > highest_id_) highest_id_ = id;
    return true;
  }

  // The element under `id`, or nullptr when id < 1, id > highest id stored,
  // or the slot is empty.
  const T* get(uint32_t id) const {
    if (id < 1 || id > highest_id_) return nullptr;
    return elements_[id].get();
  }

  // Every slot, slot 0 (never used) included.
  const std::vector<std::unique_ptr<T>>& elements() const { return elements_; }

 private:
  uint32_t capacity_ = 0;  // announced count + 1
  std::vector<std::unique_ptr<T>> elements_;
  uint32_t highest_id_ = 0;
};

}  // namespace vorel
