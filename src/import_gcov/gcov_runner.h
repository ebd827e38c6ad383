// Runs gcov on the units of a build tree: `gcov --json-format --stdout -o
// DIR FILE...` per batch (input_discovery.h), in a private scratch
// directory so that nothing lands in the build tree, several batches at
// once. The JSON comes back on gcov's standard output, one document per
// unit, so units that share a source name cannot overwrite each other.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "import_gcov/gcov_json.h"
#include "import_gcov/input_discovery.h"

namespace import_gcov {

struct GcovRunOptions {
  std::vector<std::string> command = {"gcov"};  // the gcov to run, with any arguments of its own
  unsigned jobs = 1;                            // gcov processes at once
};

struct GcovBatchResult {
  std::vector<GcovUnit> units;  // one per file of the batch, in its order
  std::string messages;         // gcov's standard error, less its note on each unit that never ran
};

// Receives the batches in their order; false (with `*error`) stops the run.
using TakeBatch = std::function<bool(const GcovBatch& batch, GcovBatchResult& result, std::string* error)>;

// Runs gcov on every batch and hands each result to `take`. False with
// `*error` when gcov cannot be started, fails, or gives no data for a unit:
// the message names the batch's directory (or the unit) and quotes gcov.
bool run_gcov_batches(const std::vector<GcovBatch>& batches, const GcovRunOptions& options, const TakeBatch& take,
                      std::string* error);

// The words of a --gcov-executable value (split at blanks).
std::vector<std::string> split_command(const std::string& text);

}  // namespace import_gcov
