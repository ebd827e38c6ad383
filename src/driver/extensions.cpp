// The extensions' part of a run: figures, outputs, summary line and gate.
#include "driver/extensions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "base/diag.h"
#include "base/output.h"
#include "driver/extension_options.h"
#include "driver/version.h"
#include "platform/fs.h"
#include "platform/output_file.h"
#include "report/extension_outputs.h"
#include "report/format.h"
#include "report/modern/modern_index.h"
#include "report/modern/modern_names.h"
#include "coverage/component.h"

namespace vorel {

namespace {

std::FILE* open_output(const std::optional<std::string>& name) {
  if (!name) return nullptr;
  std::FILE* out = output_open(*name, true);  // a device or pipe is written directly
  if (!out) {
    const int code = errno;
    print_err("Couldn't open file %s for output!\n", name->c_str());
    print_open_reason(*name, code);
    fatal_exit(1);
  }
  return out;
}

// Seconds since the epoch; SOURCE_DATE_EPOCH, when set to a number, stands
// for the current time (reproducible outputs).
int64_t report_time() {
  if (std::optional<std::string> fixed = get_env("SOURCE_DATE_EPOCH")) {
    char* end = nullptr;
    const long long value = std::strtoll(fixed->c_str(), &end, 10);
    if (!fixed->empty() && *end == '\0' && value >= 0) return value;
  }
  return static_cast<int64_t>(std::time(nullptr));
}

using Writer = bool (*)(std::FILE*, std::span<const FileFigures>, const ExtensionReportInfo&);

void write_output(std::FILE*& out, const std::optional<std::string>& name, Writer writer,
                  std::span<const FileFigures> files, const ExtensionReportInfo& info) {
  if (!out) return;
  const bool ok = writer(out, files, info);
  const bool finished = finish_output(out, *name);  // prints the message on a failed write
  out = nullptr;
  if (!finished) fatal_exit(1);
  if (!ok) {
    print_err("ERROR: writing file %s failed.\n", name->c_str());
    fatal_exit(1);
  }
}

// A total's percentage in hundredths, rounded as the totals table shows it.
int64_t shown_hundredths(uint64_t covered, uint64_t total) {
  return std::llround(round_hundredths(figures_percent(covered, total)) * 100);
}

std::string percent_text(int64_t hundredths) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld.%02lld", static_cast<long long>(hundredths / 100),
                static_cast<long long>(hundredths % 100));
  return buf;
}

void print_summary(const FigureTotals& t) {
  print_out("lines: %s%% (%llu of %llu), functions: %s%% (%llu of %llu), blocks: %s%% (%llu of "
            "%llu)%s",
            percent_text(shown_hundredths(t.covered_lines, t.lines)).c_str(),
            static_cast<unsigned long long>(t.covered_lines),
            static_cast<unsigned long long>(t.lines),
            percent_text(shown_hundredths(t.covered_functions, t.functions)).c_str(),
            static_cast<unsigned long long>(t.covered_functions),
            static_cast<unsigned long long>(t.functions),
            percent_text(shown_hundredths(t.covered_blocks, t.blocks)).c_str(),
            static_cast<unsigned long long>(t.covered_blocks),
            static_cast<unsigned long long>(t.blocks), t.branches ? "," : "\n");
  if (t.branches)
    print_out(" branches: %s%% (%llu of %llu)\n",
              percent_text(shown_hundredths(t.covered_branches, t.branches)).c_str(),
              static_cast<unsigned long long>(t.covered_branches),
              static_cast<unsigned long long>(t.branches));
}

// True when the total passes; else prints by how much it falls short.
bool check_threshold(const char* what, const char* option, const std::optional<int64_t>& limit,
                     uint64_t covered, uint64_t total) {
  if (!limit) return true;
  const int64_t shown = shown_hundredths(covered, total);
  if (shown >= *limit) return true;
  print_err("vorelcov: %s coverage %s%% is below %s %s%% by %s%%.\n", what,
            percent_text(shown).c_str(), option, percent_text(*limit).c_str(),
            percent_text(*limit - shown).c_str());
  return false;
}

}  // namespace

void ExtensionRun::start(const ExtensionOptions& options, int spi_version,
                         const std::string& spi_name) {
  options_ = &options;
  active_ = options.wants_figures();
  keep_files_ = options.wants_kept_figures();
  if (!active_) return;
  // Version 5 is no old format but a rejected one: its own error comes
  // when the routines are read.
  if (const char* option = options.first_line_option();
      option && spi_version < 7 && spi_version != 5) {
    print_err("ERROR: %s has an old version file format without source line information; "
              "option %s needs format 7 or later.\n",
              spi_name.c_str(), option);
    fatal_exit(1);
  }
  cobertura_ = open_output(options.cobertura);
  lcov_ = open_output(options.lcov);
  json_ = open_output(options.json_summary);
  if (options.html) start_html(options);
}

void ExtensionRun::start_html(const ExtensionOptions& options) {
  const std::string& dir = *options.html;
  const DirectoryState state = output_directory(dir);
  if (state != DirectoryState::kReady) {
    print_err(state == DirectoryState::kSymlink
                  ? "ERROR: %s is a symbolic link; the report is not written through it.\n"
                  : "ERROR: cannot make the report directory %s.\n",
              dir.c_str());
    fatal_exit(1);
  }
  html_on_ = true;
  html_.dir = dir;
  html_.medium = options.html_medium;
  html_.high = options.html_high;
  html_.version = kVorelcovVersion;
  html_.timestamp = report_time();
}

void ExtensionRun::set_file_names(const std::vector<Component>& entries, bool differential,
                                  char separator) {
  if (!html_on_) return;
  std::vector<std::string_view> names;
  for (const Component& c : entries)
    if (names.empty() || names.back() != c.file_name) names.push_back(c.file_name);
  html_.separator = separator;
  html_.prefix = common_directory(names, separator);
  html_.differential = differential;
}

std::unique_ptr<FileFigures> ExtensionRun::file_done() {
  std::unique_ptr<FileFigures> handed;
  if (current_.valid && html_on_) {
    FigureTotals totals;
    totals.add(current_);
    html_files_.push_back({current_.name, totals});
    if (keep_files_) files_.push_back(current_);
    handed = std::make_unique<FileFigures>(std::move(current_));
  } else if (current_.valid) {
    files_.push_back(std::move(current_));
  }
  current_ = FileFigures{};
  return handed;
}

int ExtensionRun::finish() {
  if (!active_) return 0;
  const ExtensionOptions& o = *options_;
  ExtensionReportInfo info;
  info.version = kVorelcovVersion;
  info.base_dir = base_dir_.empty() ? current_directory().value_or("") : base_dir_;
  info.timestamp = report_time();
  write_output(cobertura_, o.cobertura, write_cobertura, files_, info);
  write_output(lcov_, o.lcov, write_lcov_tracefile, files_, info);
  write_output(json_, o.json_summary, write_json_summary, files_, info);
  if (html_on_ && !write_modern_index(html_, html_files_)) fatal_exit(1);

  FigureTotals t;
  for (const FileFigures& f : files_) t.add(f);
  if (o.summary) print_summary(t);
  std::fflush(stdout);
  bool pass = check_threshold("line", "--fail-under-line", o.fail_under_line, t.covered_lines,
                              t.lines);
  pass = check_threshold("function", "--fail-under-function", o.fail_under_function,
                         t.covered_functions, t.functions) && pass;
  pass = check_threshold("block", "--fail-under-block", o.fail_under_block, t.covered_blocks,
                         t.blocks) && pass;
  if (o.fail_under_branch && t.branches == 0) {
    print_err("vorelcov: branch coverage cannot be checked by --fail-under-branch: the profiles "
              "hold no branch information.\n");
    pass = false;
  } else if (t.branches) {
    pass = check_threshold("branch", "--fail-under-branch", o.fail_under_branch, t.covered_branches,
                           t.branches) && pass;
  }
  return pass ? 0 : kStatusBelowThreshold;
}

}  // namespace vorel
