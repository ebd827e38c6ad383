// Matching a static routine to its dynamic record.
#include "profile/dpi.h"

namespace vorel {

std::unique_ptr<DpiRoutine> dpi_match_by_name(DpiFile* f, std::string_view file,
                                               std::string_view func) {
  const DpiIndexEntry* e = dpi_find_any(f, file, func);
  if (!e) return nullptr;
  return dpi_load_routine(f, *e);
}

std::unique_ptr<DpiRoutine> dpi_match_by_block_count(DpiFile* f, std::string_view file,
                                                      std::string_view func,
                                                      uint32_t full_block_count) {
  const DpiIndexEntry* e = dpi_find_first(f, file, func);
  while (e) {
    std::unique_ptr<DpiRoutine> r = dpi_load_routine(f, *e);
    if (dpi_block_cnt_get(*r) == full_block_count) return r;
    const DpiIndexEntry* next = dpi_next_entry(f, e);
    e = (next && dpi_compare_entries(*next, *e) == 0) ? next : nullptr;
  }
  return nullptr;
}

}  // namespace vorel
