#include "report/report_pending.h"

#include "driver/diag.h"

namespace vorel::pending {

namespace {
[[noreturn]] void not_implemented(const char* what) {
  print_err("not implemented yet: %s\n", what);
  fatal_exit(1);
}
}  // namespace

bool write_xml_head(std::FILE*, const Settings&) { not_implemented("XML list head"); }

bool write_xml_tail(std::FILE*) { not_implemented("XML list tail"); }

bool write_report_frame(const Settings&) { not_implemented("report directory pages"); }

bool write_source_view(const std::string&, const Settings&) { not_implemented("HTML source view"); }

bool write_file_lists(const char*, int, const Settings&) { not_implemented("HTML file lists"); }

bool write_summary_and_root(const char*, const char*, const char*, const char*, const Settings&) {
  not_implemented("totals summary and root frame set");
}

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
