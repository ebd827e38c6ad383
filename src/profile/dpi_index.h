// The routine index of a dynamic profile file: building it from the records
// or the table of contents, re-rooting file names, sorting by lookup key.
#pragma once

#include <cstdint>
#include <string>

#include "profile/dpi.h"

namespace vorel {

// Builds f.index (routine count not 0). Returns false after the walk's
// catalog warning when the file must be rejected; a corrupt record or a
// wrong record kind ends the run.
bool dpi_build_index(DpiFile& f);

// A stored file name with root length `root_len` (not 0) re-rooted with the
// configured source root; stays as stored, after the catalog warning, when
// the result would be too long. root_len must not exceed the name's length.
std::string dpi_reroot(const DpiFile& f, const std::string& stored, uint32_t root_len);

// Sorts the index by key, records where each routine went, and issues the
// duplicate-key warning once per run of equal keys (when enabled).
void dpi_sort_index(DpiFile& f);

}  // namespace vorel
