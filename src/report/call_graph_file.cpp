#include "report/call_graph_file.h"

#include <string>

#include "coverage/call_graph_model.h"
#include "profile/dpi.h"
#include "report/call_graph_writer.h"

namespace vorel {

bool write_call_graph_file(std::FILE* out, const CoverageOptions& options, bool demangle,
                           DpiFile* dpi) {
  CallGraphWriter writer(out, demangle, dpi->runs, routine_resolver(dpi));
  const bool built = walk_call_graph(
      options, dpi, [&writer](std::string_view module, const DpiRoutine& record,
                              const CgNode* node) { writer.function(module, record, node); });
  if (!built) return false;
  writer.finish();
  return true;
}

}  // namespace vorel
