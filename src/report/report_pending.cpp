#include "report/report_pending.h"

#include "driver/diag.h"

namespace vorel::pending {

namespace {
[[noreturn]] void not_implemented(const char* what) {
  print_err("not implemented yet: %s\n", what);
  fatal_exit(1);
}
}  // namespace

bool write_coverage_list(int, std::FILE*, spi_file*, dpi_file*, const Settings&) {
  not_implemented("text and XML coverage lists");
}

BlockListSink* full_block_list_sink(std::FILE*, std::FILE*, const Settings&) {
  not_implemented("full block lists");
}

bool write_call_graph(std::FILE*, spi_file*, dpi_file*, const Settings&) {
  not_implemented("call graph");
}

}  // namespace vorel::pending
