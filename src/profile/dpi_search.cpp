// Searching the routine index and resolving addresses.
#include <algorithm>

#include "base/diag.h"
#include "profile/dpi_file_impl.h"
#include "profile/lookup_key.h"

namespace vorel {

namespace {
std::string search_key(const DpiFile* f, const std::string& file, const std::string& func) {
  return routine_key(f->impl ? f->impl->options.host : host_rules(), file, func);
}
}  // namespace

const DpiIndexEntry* dpi_find_any(const DpiFile* f, const std::string& file, const std::string& func) {
  if (!f) return nullptr;
  std::string key = search_key(f, file, func);
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

const DpiIndexEntry* dpi_find_first(const DpiFile* f, const std::string& file,
                                    const std::string& func) {
  if (!f) return nullptr;
  // The lower bound is the first of a run of equal keys, however long the run.
  std::string key = search_key(f, file, func);
  auto it = std::lower_bound(f->index.begin(), f->index.end(), key,
                             [](const DpiIndexEntry& e, const std::string& k) { return e.key < k; });
  if (it == f->index.end() || it->key != key) return nullptr;
  return &*it;
}

namespace {
// Position of `e` in the index, or -1 when it is not one of its entries.
ptrdiff_t position_of(const DpiFile* f, const DpiIndexEntry* e) {
  if (!f || !e || f->index.empty()) return -1;
  const DpiIndexEntry* first = f->index.data();
  if (e < first || e >= first + f->index.size()) return -1;
  return e - first;
}
}  // namespace

const DpiIndexEntry* dpi_next_entry(const DpiFile* f, const DpiIndexEntry* e) {
  ptrdiff_t i = position_of(f, e);
  if (i < 0 || static_cast<size_t>(i) + 1 >= f->index.size()) return nullptr;
  return e + 1;
}

const DpiIndexEntry* dpi_prev_entry(const DpiFile* f, const DpiIndexEntry* e) {
  ptrdiff_t i = position_of(f, e);
  if (i <= 0) return nullptr;
  return e - 1;
}

const DpiIndexEntry* dpi_resolve_routine_address(const DpiFile* f, uint64_t address) {
  if (!f || !f->impl) return nullptr;
  const uint32_t* order = f->impl->routine_map.resolve(address);
  if (!order || *order >= f->impl->sorted_pos.size()) return nullptr;
  return &f->index[f->impl->sorted_pos[*order]];
}

const std::string* dpi_resolve_vtable_address(const DpiFile* f, uint64_t address) {
  if (!f || !f->impl) return nullptr;
  const uint32_t* slot = f->impl->vtable_map.resolve(address);
  if (!slot || *slot >= f->impl->vtable_names.size()) return nullptr;
  return &f->impl->vtable_names[*slot];
}

}  // namespace vorel
