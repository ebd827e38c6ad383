// What the coverage layer reads of the run's options.
//
// Filled once by the driver (its layer_options.cpp) from the settings
// record; the coverage computation, the component list and the list and
// call-graph models receive it as `const CoverageOptions&`.
#pragma once

#include <string>

#include "coverage/report_names.h"
#include "platform/host.h"

namespace vorel {

struct CoverageOptions {
  std::string spi_file_name;        // for messages and the call graph's own read
  std::string dpi_file_name;        // for messages
  std::string src_root_dir;         // the root the readers compose names with, or empty
  std::string source_dir;           // imported profiles: where relative names are read
                                    // (final separator); empty: names as they stand
  bool differential = false;        // -ref
  bool multiple_definitions = false;  // -mdef: records matched by block count
  bool demangle = false;            // -demang
  bool no_unwind = false;           // -nounwind
  bool no_partial = false;          // -nopartial
  bool include_nonexec = false;     // -include-nonexec
  HostRules host = host_rules();
  PageNameRule page_names;          // the pages each report name gives
};

}  // namespace vorel
