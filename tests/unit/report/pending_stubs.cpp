// Weak stand-ins for reader and platform functions that other branches are
// still building; the real definitions win as soon as they are linked in.
// Remove this file once main has the readers and the undecorator.
#include <optional>
#include <string>
#include <string_view>

#include "profile/dpi.h"
#include "profile/spi.h"
#include "profile/lookup_key.h"

namespace vorel {

__attribute__((weak)) std::optional<std::string> undecorate(std::string_view, bool) {
  return std::nullopt;
}

__attribute__((weak)) uint32_t DPI_block_cnt_get(const dpi_routine& r) { return r.block_cnt; }
__attribute__((weak)) void DPI_block_cnt_set(dpi_routine& r, uint32_t n) {
  r.block_cnt = n;
  r.blocks.resize(n);
}
__attribute__((weak)) int DPI_position_mode(const dpi_routine& r) {
  if (r.flags & 0x80000) return 3;
  if (r.flags & 0x20000) return 2;
  return (r.flags & 0x10) ? 1 : 0;
}

__attribute__((weak)) std::unique_ptr<dpi_routine> DPI_match_by_name(dpi_file*, const std::string&,
                                                                    const std::string&) {
  return nullptr;
}
__attribute__((weak)) std::unique_ptr<dpi_routine> DPI_match_by_block_count(dpi_file*,
                                                                           const std::string&,
                                                                           const std::string&,
                                                                           uint32_t) {
  return nullptr;
}

__attribute__((weak)) int32_t SPI_version(const spi_file*) { return 0; }
__attribute__((weak)) int SPI_next_routine(spi_file*, spi_routine_info*) { return 0; }
__attribute__((weak)) const spi_routine* SPI_current_routine(const spi_file*) { return nullptr; }

}  // namespace vorel
