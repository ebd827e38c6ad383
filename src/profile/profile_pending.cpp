// Stand-in for the dynamic profile reader until it lands.
//
// A file that cannot be opened gives nullptr, as the real readers do, so the
// driver's "Couldn't find ..." messages work; everything else stops the run
// with "not implemented yet" and status 1. The dynamic reader removes this file
// when it is merged.
#include <cstdio>

#include "driver/diag.h"
#include "profile/dpi.h"

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

// ---- dynamic profile reader ----

dpi_file* DPI_open(const char* name, const DpiOpenOptions& options) {
  (void)options;
  if (!can_open(name)) return nullptr;
  not_implemented("dynamic profile reader (DPI_open)");
}

void DPI_close(dpi_file*) { not_implemented("dynamic profile reader (DPI_close)"); }

}  // namespace vorel
