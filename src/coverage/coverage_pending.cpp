#include "coverage/coverage_pending.h"

#include "driver/diag.h"

namespace vorel::pending {

namespace {
[[noreturn]] void not_implemented(const char* what) {
  print_err("not implemented yet: %s\n", what);
  fatal_exit(1);
}
}  // namespace

void read_component_file(const Settings&) { not_implemented("component file reader"); }

bool markers_consistent(const Settings&) { not_implemented("marker consistency check"); }

int build_component_list(spi_file*, const Settings&) { not_implemented("component list"); }

const std::string& component_file_name(int) { not_implemented("component list"); }

void order_file_routines(int) { not_implemented("per-file routine order"); }

MarkerScanner* make_marker_scanner(const std::string&, const Settings&) {
  not_implemented("marker scanner");
}

void destroy_marker_scanner(MarkerScanner*) { not_implemented("marker scanner"); }

bool compute_file(int, MarkerScanner*, bool, dpi_file*, dpi_file*, std::FILE*, std::FILE*,
                  const Settings&) {
  not_implemented("per-file coverage computation");
}

void reset_file_state() { not_implemented("per-file reset"); }

int file_count(int) { not_implemented("file lists"); }

void set_merge_mode(int) { not_implemented("coverage list merge mode"); }

}  // namespace vorel::pending
