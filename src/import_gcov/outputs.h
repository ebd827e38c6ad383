// The importer's two outputs, one transaction: both profile files are put in
// place together or neither is, and imports writing in one directory (or a
// vorelcov run there) take turns.
#pragma once

#include <string>
#include <vector>

#include "profile_writer/program.h"

namespace import_gcov {

// Refuses a static and a dynamic output that are one file, or an output that
// is one of the `inputs`; then takes the locks of the outputs' directories
// (saying so on stderr, as `program`, when it has to wait) and begins the
// transaction. False with `*error` naming both uses.
bool begin_outputs(const std::string& spi, const std::string& dpi, const std::vector<std::string>& inputs,
                   std::string* error, const char* program = "vorelcov-import-gcov");

// Puts both outputs in place when `written`, else removes what was written
// of them. False (with `*error` naming the file) when the commit fails.
bool finish_outputs(bool written, std::string* error);

// Writes `program` as the static profile `spi` and the dynamic profile
// `dpi`, then finishes the transaction begun by begin_outputs.
bool write_profiles(const profile_writer::Program& program, const std::string& spi, const std::string& dpi,
                    std::string* error);

}  // namespace import_gcov
