// The extension options (GNU-style `--name`): their scan and help text, and
// their part of a run: the per-file figures, the Cobertura / lcov / JSON
// outputs, the one-line summary and the coverage gate (exit status 3).
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "coverage/file_figures.h"
#include "report/modern/modern_index.h"
#include "report/modern/modern_options.h"

namespace vorel {

struct ExtensionOptions;
struct Component;

// Exit status of a run whose coverage is below a --fail-under threshold.
inline constexpr int kStatusBelowThreshold = 3;

// Takes the extension named by argv[i] (and its value, advancing i). Returns
// false when the word names no extension. --help prints the usage text and
// the extension help and --version the version, both on stdout, and end the
// run with status 0; a missing or bad value ends it with status 1.
bool scan_extension(int argc, const char* const* argv, int& i, ExtensionOptions& options);

// The extension section of --help (stdout).
void print_extension_help();

// The extensions' part of a run.
class ExtensionRun {
 public:
  // After the profiles opened: line figures need a static file of format 7
  // or later; the output files are created now, so that a bad path fails at
  // once. Either failure ends the run with status 1.
  void start(const ExtensionOptions& options, int spi_version, const std::string& spi_name);

  // The record the per-file computation fills, or nullptr when no extension
  // wants figures. file_done() keeps it when the file was computed; with
  // --html it hands the record over for the file's page (nullptr when the
  // file was not computed).
  FileFigures* figures() { return options_ && active_ ? &current_ : nullptr; }
  std::unique_ptr<FileFigures> file_done();
  bool active() const { return active_; }
  // The directory the outputs name files relative to (Cobertura's source,
  // the tracefile's absolute names); the working directory when not set.
  void set_base_dir(std::string dir) { base_dir_ = std::move(dir); }

  // --html: the modern report's settings once the file names are known
  // (set_file_names, after the component list is built), else nullptr.
  void set_file_names(const std::vector<Component>& entries, bool differential, char separator);
  const ModernOptions* html() const { return html_on_ ? &html_ : nullptr; }

  // At the end of a successful run: writes the outputs (a failure ends the
  // run with status 1), the --summary line, and applies the gate. Returns
  // the exit status: 0, or 3 when a total is below its threshold.
  int finish();

 private:
  void start_html(const ExtensionOptions& options);

  const ExtensionOptions* options_ = nullptr;
  bool active_ = false;
  FileFigures current_;
  std::vector<FileFigures> files_;  // kept for the outputs other than --html
  bool keep_files_ = false;
  std::vector<ModernFileTotals> html_files_;  // --html: each file's name and totals
  std::string base_dir_;
  std::FILE* cobertura_ = nullptr;
  std::FILE* lcov_ = nullptr;
  std::FILE* json_ = nullptr;
  bool html_on_ = false;
  ModernOptions html_;
};

}  // namespace vorel
