// The values of the extension options (GNU-style long options beyond the
// specified command line). With none given the run is the specified one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorel {

struct ExtensionOptions {
  std::optional<std::string> cobertura;     // --cobertura FILE
  std::optional<std::string> lcov;          // --lcov FILE
  std::optional<std::string> json_summary;  // --json-summary FILE
  bool summary = false;                     // --summary
  // --fail-under-line/-function/-block/-branch PCT, in hundredths of a percent.
  std::optional<int64_t> fail_under_line;
  std::optional<int64_t> fail_under_function;
  std::optional<int64_t> fail_under_block;
  std::optional<int64_t> fail_under_branch;
  unsigned jobs = 0;  // --jobs N: threads of the per-file pass; 0: one per core
  std::optional<std::string> html;          // --html DIR: the modern HTML report
  int64_t html_medium = 7500;               // --html-medium PCT, in hundredths
  int64_t html_high = 9000;                 // --html-high PCT, in hundredths

  // Some extension needs the per-file figures.
  bool wants_figures() const { return wants_kept_figures() || html; }
  // Some extension needs every file's figures kept to the end of the run.
  bool wants_kept_figures() const {
    return cobertura || lcov || json_summary || summary || fail_under_line ||
           fail_under_function || fail_under_block || fail_under_branch;
  }
  // The first option given that needs line figures (line maps), or nullptr.
  const char* first_line_option() const {
    if (cobertura) return "--cobertura";
    if (lcov) return "--lcov";
    if (json_summary) return "--json-summary";
    if (summary) return "--summary";
    if (fail_under_line) return "--fail-under-line";
    if (html) return "--html";
    if (fail_under_branch) return "--fail-under-branch";
    return nullptr;
  }
};

}  // namespace vorel
