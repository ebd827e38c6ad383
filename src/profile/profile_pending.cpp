// Stand-ins for the static and dynamic profile readers until they land.
//
// A file that cannot be opened gives nullptr, as the real readers do, so the
// driver's "Couldn't find ..." messages work; everything else stops the run
// with "not implemented yet" and status 1. Each reader removes its half of
// this file when it is merged.
#include <cstdio>

#include "driver/diag.h"
#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {

namespace {
[[noreturn]] void not_implemented(const char* what) {
  print_err("not implemented yet: %s\n", what);
  fatal_exit(1);
}

bool can_open(const char* name) {
  std::FILE* fp = std::fopen(name, "rb");
  if (!fp) return false;
  std::fclose(fp);
  return true;
}
}  // namespace

// ---- static profile reader ----

spi_file* SPI_open(const char* name, const std::string& src_root) {
  (void)src_root;
  if (!can_open(name)) return nullptr;
  not_implemented("static profile reader (SPI_open)");
}

int32_t SPI_version(const spi_file*) { not_implemented("static profile reader (SPI_version)"); }

void SPI_close(spi_file*) { not_implemented("static profile reader (SPI_close)"); }

int SPI_next_routine(spi_file*, spi_routine_info*) {
  not_implemented("static profile reader (SPI_next_routine)");
}

const spi_routine* SPI_current_routine(const spi_file*) {
  not_implemented("static profile reader (SPI_current_routine)");
}

// ---- dynamic profile reader ----

dpi_file* DPI_open(const char* name, const DpiOpenOptions& options) {
  (void)options;
  if (!can_open(name)) return nullptr;
  not_implemented("dynamic profile reader (DPI_open)");
}

void DPI_close(dpi_file*) { not_implemented("dynamic profile reader (DPI_close)"); }

std::unique_ptr<dpi_routine> DPI_match_by_name(dpi_file*, const std::string&, const std::string&) {
  not_implemented("dynamic profile reader (DPI_match_by_name)");
}

std::unique_ptr<dpi_routine> DPI_match_by_block_count(dpi_file*, const std::string&,
                                                      const std::string&, uint32_t) {
  not_implemented("dynamic profile reader (DPI_match_by_block_count)");
}

// The record accessors are simple enough to be the real ones already.
uint32_t DPI_block_cnt_get(const dpi_routine& r) { return r.block_cnt; }

void DPI_block_cnt_set(dpi_routine& r, uint32_t new_block_cnt) {
  r.block_cnt = new_block_cnt;
  r.blocks.resize(new_block_cnt);
}

int DPI_position_mode(const dpi_routine& r) {
  if (r.flags & 0x80000) return 3;
  if (r.flags & 0x20000) return 2;
  return (r.flags & 0x10) ? 1 : 0;
}

}  // namespace vorel
