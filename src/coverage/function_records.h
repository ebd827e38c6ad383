// The routines the covered-function and covered-block lists take, with their
// figures.
//
// The source files are visited in component-list order; each routine is
// matched to its dynamic record by name and, when it executed, its unwind
// clones are repaired (unless -nounwind). The function lists take the
// routines with at least one covered block; the block lists also take, with
// -include-nonexec and a static file of version 7 or later, the routines
// that did not execute, with their static blocks.
#pragma once

#include <cstdint>
#include <functional>

namespace vorel {

struct Component;
struct ComponentList;
struct CoverageOptions;
struct DpiFile;
struct RoutineBlocks;

struct FunctionRecordsInput {
  const CoverageOptions& options;
  DpiFile* dpi;
  const ComponentList& components;
  int32_t spi_version;  // format version of the static profile file
};

// Hands every routine the list takes to `visit`, in list order. A corrupt
// dynamic record ends the run in the reader.
using FunctionRecordVisit = std::function<void(const Component&, const RoutineBlocks&)>;
void for_each_function_record(const FunctionRecordsInput& in, bool with_blocks,
                              const FunctionRecordVisit& visit);

}  // namespace vorel
