// Running llvm-profdata and llvm-cov for the user: the raw profiles (or one
// indexed profile) and the instrumented binaries in, the JSON of
// `llvm-cov export -format=text` out, in a private scratch directory.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace import_llvm {

struct LlvmCovRunOptions {
  std::vector<std::string> llvm_cov = {"llvm-cov"};            // the program and its own arguments
  std::vector<std::string> llvm_profdata = {"llvm-profdata"};
  std::vector<std::string> profiles;  // .profdata, or .profraw files merged first
  std::vector<std::string> binaries;  // the first is the object, the others -object
};

// Writes the export into `*json`. Lines the tools print on standard error
// go to `warn`. False with `*error` (naming the tool and what failed).
bool run_llvm_cov_export(const LlvmCovRunOptions& options, const std::function<void(const std::string&)>& warn,
                         std::string* json, std::string* error);

}  // namespace import_llvm
