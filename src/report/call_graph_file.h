// The -txtdcg output: builds the call graph from the static profile file and
// writes its text for the open dynamic profile file.
#pragma once

#include <cstdio>

namespace vorel {

struct CoverageOptions;
struct DpiFile;

// Writes the call-graph text to `out`. Returns false after printing its
// message when the static profile file cannot be opened again; a corrupt
// profile file ends the run with status 1. A dynamic profile file without
// routine records gives an empty text.
bool write_call_graph_file(std::FILE* out, const CoverageOptions& options, DpiFile* dpi);

}  // namespace vorel
