// Searching the routine index and resolving addresses.
#include <algorithm>

#include "base/diag.h"
#include "profile/dpi_file_impl.h"
#include "profile/lookup_key.h"

namespace vorel {

const dpi_toc_entry* DPI_find_any(const dpi_file* f, const std::string& file, const std::string& func) {
  if (!f) return nullptr;
  std::string key = make_key(file, func, kRoutineOrder);
  size_t lo = 0;
  size_t hi = f->index.size();
  while (lo < hi) {
    size_t mid = lo + (hi - lo) / 2;
    int c = f->index[mid].key.compare(key);
    if (c == 0) return &f->index[mid];
    if (c < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return nullptr;
}

const dpi_toc_entry* DPI_find_first(const dpi_file* f, const std::string& file,
                                    const std::string& func) {
  if (!f) return nullptr;
  // The lower bound is the first of a run of equal keys, however long the run.
  std::string key = make_key(file, func, kRoutineOrder);
  auto it = std::lower_bound(f->index.begin(), f->index.end(), key,
                             [](const dpi_toc_entry& e, const std::string& k) { return e.key < k; });
  if (it == f->index.end() || it->key != key) return nullptr;
  return &*it;
}

namespace {
// Position of `e` in the index, or -1 when it is not one of its entries.
ptrdiff_t position_of(const dpi_file* f, const dpi_toc_entry* e) {
  if (!f || !e || f->index.empty()) return -1;
  const dpi_toc_entry* first = f->index.data();
  if (e < first || e >= first + f->index.size()) return -1;
  return e - first;
}
}  // namespace

const dpi_toc_entry* DPI_next_entry(const dpi_file* f, const dpi_toc_entry* e) {
  ptrdiff_t i = position_of(f, e);
  if (i < 0 || static_cast<size_t>(i) + 1 >= f->index.size()) return nullptr;
  return e + 1;
}

const dpi_toc_entry* DPI_prev_entry(const dpi_file* f, const dpi_toc_entry* e) {
  ptrdiff_t i = position_of(f, e);
  if (i <= 0) return nullptr;
  return e - 1;
}

const dpi_toc_entry* DPI_resolve_routine_address(const dpi_file* f, uint64_t address) {
  if (!f || !f->impl) return nullptr;
  const uint32_t* order = f->impl->routine_map.resolve(address);
  if (!order || *order >= f->impl->sorted_pos.size()) return nullptr;
  return &f->index[f->impl->sorted_pos[*order]];
}

const std::string* DPI_resolve_vtable_address(const dpi_file* f, uint64_t address) {
  if (!f || !f->impl) return nullptr;
  const uint32_t* slot = f->impl->vtable_map.resolve(address);
  if (!slot || *slot >= f->impl->vtable_names.size()) return nullptr;
  return &f->impl->vtable_names[*slot];
}

}  // namespace vorel
