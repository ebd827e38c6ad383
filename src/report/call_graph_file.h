// The -txtdcg output: the call graph the coverage layer walks
// (coverage/call_graph_model.h), written as text.
#pragma once

#include <cstdio>

namespace vorel {

struct CoverageOptions;
struct DpiFile;

// Writes the call-graph text to `out` (`demangle`: -demang). Returns false
// after printing its message when the static profile file cannot be opened
// again; a corrupt profile file ends the run with status 1. A dynamic
// profile file without routine records gives an empty text.
bool write_call_graph_file(std::FILE* out, const CoverageOptions& options, bool demangle,
                           DpiFile* dpi);

}  // namespace vorel
