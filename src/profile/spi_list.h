// SPI_LIST: an id-indexed list holding one map of the static profile file's
// mapping section (modules, source files, routine names, data references).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace vorel {

template <typename T>
struct SPI_LIST {
  uint32_t capacity = 0;                           // announced count + 1
  std::vector<std::unique_ptr<T>> SPI_LIST_elements;  // slot 0 never used
  uint32_t highest_id = 0;
};

// A list for `count` ids (1..count). A count of 0 gives an empty list.
template <typename T>
SPI_LIST<T> SPI_LIST_create(uint32_t count) {
  SPI_LIST<T> list;
  if (count == 0) return list;
  list.capacity = count + 1;
  list.SPI_LIST_elements.resize(list.capacity);
  return list;
}

// Stores `element` under `id`. Returns false when the id is not between 1 and
// the announced count or its slot is taken (the caller reports
// "Id for '%s' is out of range" as a corrupt file).
template <typename T>
bool SPI_LIST_add(SPI_LIST<T>& list, uint32_t id, std::unique_ptr<T> element) {
  if (id < 1 || id >= list.capacity || list.SPI_LIST_elements[id]) return false;
  list.SPI_LIST_elements[id] = std::move(element);
  if (id > list.highest_id) list.highest_id = id;
  return true;
}

// The element under `id`, or nullptr when id < 1, id > highest id stored, or
// the slot is empty.
template <typename T>
const T* SPI_LIST_get(const SPI_LIST<T>& list, uint32_t id) {
  if (id < 1 || id > list.highest_id) return nullptr;
  return list.SPI_LIST_elements[id].get();
}

template <typename T>
void SPI_LIST_free(SPI_LIST<T>& list) {
  list = SPI_LIST<T>{};
}

}  // namespace vorel
