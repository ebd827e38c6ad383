// What the coverage layer reads of the run's options.
//
// Filled once by the driver (its layer_options.cpp) from the settings
// record; the coverage computation, the component list and the list and
// call-graph models receive it as `const CoverageOptions&`.
#pragma once

#include <string>

#include "platform/host.h"

namespace vorel {

struct CoverageOptions {
  std::string spi_file_name;        // for messages and the call graph's own read
  std::string dpi_file_name;        // for messages
  std::string src_root_dir;         // settled source root (final separator), or empty
  bool differential = false;        // -ref
  bool multiple_definitions = false;  // -mdef: records matched by block count
  bool demangle = false;            // -demang
  bool no_unwind = false;           // -nounwind
  bool no_partial = false;          // -nopartial
  bool include_nonexec = false;     // -include-nonexec
  HostRules host = host_rules();
};

}  // namespace vorel
