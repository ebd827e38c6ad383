// The covered-function and covered-block lists (-txtfcvrg, -txtbcvrg,
// -xmlfcvrg, -xmlbcvrg), written after the coverage model is built. Which
// routines a list takes, with which figures, is the coverage layer's
// (coverage/function_records.h); this writer groups them by source file.
#pragma once

#include <cstdio>

namespace vorel {

struct FunctionRecordsInput;
struct ReportOptions;

// The list kinds in the order of the option table.
enum class FunctionListKind : int {
  kTextFunctions = 1,  // -txtfcvrg
  kTextBlocks = 2,     // -txtbcvrg
  kXmlFunctions = 3,   // -xmlfcvrg
  kXmlBlocks = 4,      // -xmlbcvrg
};

// Writes one list to `out` (the XML head and tail are the driver's).
// Returns true; a corrupt dynamic record ends the run in the reader.
bool write_function_list(std::FILE* out, FunctionListKind kind, const FunctionRecordsInput& input,
                         const ReportOptions& options);

}  // namespace vorel
