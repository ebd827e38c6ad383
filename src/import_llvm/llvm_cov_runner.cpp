#include "import_llvm/llvm_cov_runner.h"

#include "import_gcov/import.h"
#include "platform/process.h"
#include "platform/whole_file.h"

namespace import_llvm {

namespace {

bool is_raw(const std::string& name) {
  return name.size() > 8 && name.compare(name.size() - 8, 8, ".profraw") == 0;
}

// Runs `argv`; its standard output into `*out`. `what` names the step.
bool run_tool(const std::vector<std::string>& argv, const std::string& cwd, const std::string& what,
              const std::function<void(const std::string&)>& warn, std::string* out, std::string* error) {
  vorel::ProcessOutput result;
  std::string reason;
  if (!vorel::run_process(argv, cwd, import_gcov::kMaxJsonBytes, &result, &reason)) {
    *error = "cannot run " + argv[0] + ": " + reason + " (it comes with LLVM; " + what + " names another)";
    return false;
  }
  if (!result.exited) {
    *error = argv[0] + " was ended by signal " + std::to_string(result.status);
    return false;
  }
  if (result.status != 0) {
    while (!result.err.empty() && result.err.back() == '\n') result.err.pop_back();
    *error = argv[0] + " failed (exit status " + std::to_string(result.status) + "): " + result.err;
    return false;
  }
  for (size_t at = 0; at < result.err.size();) {
    size_t end = result.err.find('\n', at);
    if (end == std::string::npos) end = result.err.size();
    if (end > at) warn(argv[0] + ": " + result.err.substr(at, end - at));
    at = end + 1;
  }
  *out = std::move(result.out);
  return true;
}

}  // namespace

bool run_llvm_cov_export(const LlvmCovRunOptions& o, const std::function<void(const std::string&)>& warn,
                         std::string* json, std::string* error) {
  vorel::ScratchDirectory scratch;
  if (!scratch.create(error)) return false;
  std::string profile = o.profiles.empty() ? "" : vorel::absolute_path(o.profiles.front());
  bool merge = o.profiles.size() > 1;
  for (const std::string& p : o.profiles) merge = merge || is_raw(p);
  std::string ignored;
  if (merge) {
    std::vector<std::string> argv = o.llvm_profdata;
    profile = scratch.path() + "/merged.profdata";
    argv.insert(argv.end(), {"merge", "-o", profile});
    for (const std::string& p : o.profiles) argv.push_back(vorel::absolute_path(p));
    if (!run_tool(argv, scratch.path(), "--llvm-profdata", warn, &ignored, error)) return false;
  }
  std::vector<std::string> argv = o.llvm_cov;
  argv.insert(argv.end(), {"export", "-format=text", "-instr-profile", profile});
  for (size_t i = 0; i < o.binaries.size(); ++i) {
    if (i > 0) argv.push_back("-object");
    argv.push_back(vorel::absolute_path(o.binaries[i]));
  }
  return run_tool(argv, scratch.path(), "--llvm-cov", warn, json, error);
}

}  // namespace import_llvm
