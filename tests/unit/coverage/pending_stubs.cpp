// Weak stand-ins for reader and platform functions that other branches are
// still building; the real definitions win as soon as they are linked in.
// Remove this file once main has the readers and the undecorator.
#include <optional>
#include <string>
#include <string_view>

#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {

__attribute__((weak)) std::optional<std::string> undecorate(std::string_view name, bool full) {
  if (!name.starts_with("_Z")) return std::nullopt;
  if (name == "_Z3fooi") return std::string(full ? "foo(int)" : "foo");
  if (name == "_Z3barv") return std::string(full ? "bar()" : "bar");
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

__attribute__((weak)) int32_t SPI_version(const spi_file*) { return 0; }
__attribute__((weak)) int SPI_next_routine(spi_file*, spi_routine_info*) { return 0; }
__attribute__((weak)) const spi_routine* SPI_current_routine(const spi_file*) { return nullptr; }

}  // namespace vorel
