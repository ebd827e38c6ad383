// Stand-ins for the static profile reader until it lands.
//
// A file that cannot be opened gives nullptr, as the real readers do, so the
// driver's "Couldn't find ..." messages work; everything else stops the run
// with "not implemented yet" and status 1. The static reader removes this
// file when it is merged.
#include <cstdio>

#include "driver/diag.h"
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

}  // namespace vorel
