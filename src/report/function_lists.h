// The covered-function and covered-block lists (-txtfcvrg, -txtbcvrg,
// -xmlfcvrg, -xmlbcvrg), written after the coverage model is built.
//
// The source files are visited in component-list order; each routine is
// matched to its dynamic record by name. The function lists take the
// routines with at least one covered block; the block lists add their block
// lists, and with -include-nonexec (static file version 7 or later) also the
// routines that did not execute, with their static blocks.
#pragma once

#include <cstdint>
#include <cstdio>

namespace vorel {

struct CoverageOptions;
struct DpiFile;
struct ComponentList;

// The list kinds in the order of the option table.
enum class FunctionListKind : int {
  kTextFunctions = 1,  // -txtfcvrg
  kTextBlocks = 2,     // -txtbcvrg
  kXmlFunctions = 3,   // -xmlfcvrg
  kXmlBlocks = 4,      // -xmlbcvrg
};

struct FunctionListInput {
  const CoverageOptions& options;
  DpiFile* dpi;
  const ComponentList& components;
  int32_t spi_version;  // format version of the static profile file
};

// Writes one list to `out` (the XML head and tail are the driver's).
// Returns true; a corrupt dynamic record ends the run in the reader.
bool write_function_list(std::FILE* out, FunctionListKind kind, const FunctionListInput& input);

}  // namespace vorel
