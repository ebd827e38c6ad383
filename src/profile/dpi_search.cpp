// Searching the routine index and resolving addresses.
#include <algorithm>

#include "base/diag.h"
#include "profile/dpi_file_impl.h"
#include "profile/lookup_key.h"

namespace vorel {

namespace {
// The file name as it stands in the index keys (routine_key): normalised
// under case-folding rules, `file` itself otherwise (no copy).
std::string_view key_file(const DpiFile* f, std::string_view file, std::string& folded) {
  const HostRules rules = f->impl ? f->impl->options.host : host_rules();
  if (!rules.fold_case) return file;
  folded = normalise_path(rules, file);
  return folded;
}
}  // namespace

const DpiIndexEntry* dpi_find_any(const DpiFile* f, std::string_view file, std::string_view func) {
  if (!f) return nullptr;
  std::string folded;
  const std::string_view kf = key_file(f, file, folded);
  size_t lo = 0;
  size_t hi = f->index.size();
  while (lo < hi) {
    size_t mid = lo + (hi - lo) / 2;
    int c = compare_keys(f->index[mid].key_file, f->index[mid].func_name, kf, func);
    if (c == 0) return &f->index[mid];
    if (c < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return nullptr;
}

const DpiIndexEntry* dpi_find_first(const DpiFile* f, std::string_view file,
                                    std::string_view func) {
  if (!f) return nullptr;
  std::string folded;
  const std::string_view kf = key_file(f, file, folded);
  // The lower bound is the first of a run of equal keys, however long the run.
  auto it = std::lower_bound(f->index.begin(), f->index.end(), 0,
                             [&](const DpiIndexEntry& e, int) {
                               return compare_keys(e.key_file, e.func_name, kf, func) < 0;
                             });
  if (it == f->index.end() || compare_keys(it->key_file, it->func_name, kf, func) != 0) return nullptr;
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
