// Matching a static routine to its dynamic record.
#include "profile/dpi.h"

namespace vorel {

std::unique_ptr<dpi_routine> DPI_match_by_name(dpi_file* f, const std::string& file,
                                               const std::string& func) {
  const dpi_toc_entry* e = DPI_find_any(f, file, func);
  if (!e) return nullptr;
  return DPI_load_routine(f, *e);
}

std::unique_ptr<dpi_routine> DPI_match_by_block_count(dpi_file* f, const std::string& file,
                                                      const std::string& func,
                                                      uint32_t full_block_count) {
  const dpi_toc_entry* e = DPI_find_first(f, file, func);
  while (e) {
    std::unique_ptr<dpi_routine> r = DPI_load_routine(f, *e);
    if (DPI_block_cnt_get(*r) == full_block_count) return r;
    const dpi_toc_entry* next = DPI_next_entry(f, e);
    e = (next && next->key == e->key) ? next : nullptr;
  }
  return nullptr;
}

}  // namespace vorel
