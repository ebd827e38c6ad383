// Scan and help text of the extension options.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/diag.h"
#include "driver/extension_options.h"
#include "driver/extensions.h"
#include "driver/usage.h"
#include "driver/version.h"

namespace vorel {

namespace {

// A percentage from 0 to 100 in hundredths, or nullopt.
std::optional<int64_t> parse_percent(const char* text) {
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || *end != '\0' || errno != 0 || !std::isfinite(value) || value < 0 ||
      value > 100)
    return std::nullopt;
  return std::llround(value * 100);
}

const char* take_value(int argc, const char* const* argv, int& i) {
  if (i + 1 >= argc) {
    print_err("ERROR: option %s needs a value.\n", argv[i]);
    fatal_exit(1);
  }
  return argv[++i];
}

void take_threshold(int argc, const char* const* argv, int& i, std::optional<int64_t>& slot) {
  const char* name = argv[i];
  const char* value = take_value(argc, argv, i);
  slot = parse_percent(value);
  if (!slot) {
    print_err("ERROR: option %s needs a percentage from 0 to 100, not \"%s\".\n", name, value);
    fatal_exit(1);
  }
}

// Most threads --jobs takes.
constexpr unsigned long kMaxJobs = 256;

void take_jobs(int argc, const char* const* argv, int& i, unsigned& jobs) {
  const char* name = argv[i];
  const char* value = take_value(argc, argv, i);
  errno = 0;
  char* end = nullptr;
  const unsigned long n = std::strtoul(value, &end, 10);
  if (end == value || *end != '\0' || errno != 0 || value[0] == '-' || n < 1 || n > kMaxJobs) {
    print_err("ERROR: option %s needs a number of threads from 1 to %lu, not \"%s\".\n", name,
              kMaxJobs, value);
    fatal_exit(1);
  }
  jobs = static_cast<unsigned>(n);
}

const char* const kExtensionHelp =
    "Extensions (GNU-style long options):\n"
    "   --help\n"
    "        Prints this text on standard output; exit status 0.\n"
    "   --version\n"
    "        Prints the version on standard output; exit status 0.\n"
    "   --cobertura <filename>\n"
    "        Also writes the line, function and branch coverage as Cobertura XML.\n"
    "   --lcov <filename>\n"
    "        Also writes the line, function and branch coverage as an lcov\n"
    "        tracefile.\n"
    "   --json-summary <filename>\n"
    "        Also writes per-file and total figures of lines, functions and\n"
    "        blocks (and branches, when the profiles have them) as JSON.\n"
    "   --summary\n"
    "        Prints one line of total figures on standard output at the end.\n"
    "   --fail-under-line <pct>, --fail-under-function <pct>,\n"
    "   --fail-under-block <pct>, --fail-under-branch <pct>\n"
    "        After every output is written, ends with exit status 3 when the\n"
    "        total percentage (rounded to hundredths) is below <pct>, or\n"
    "        when the profiles hold no branch arcs for --fail-under-branch.\n"
    "   --jobs <n>\n"
    "        Writes the per-file outputs (source views, line-coverage files)\n"
    "        on <n> threads, 1 to 256; default: one per processor core. The\n"
    "        outputs and messages are the same for every <n>.\n"
    "   --html <dir>\n"
    "        Also writes a modern HTML report into <dir>: totals, a page per\n"
    "        directory and per source file, line counts and marks.\n"
    "   --html-medium <pct>, --html-high <pct>\n"
    "        Rating thresholds of that report (defaults 75 and 90).\n"
    "\n"
    "        Line figures need a static profile file of format 7 or later.\n"
    "        Exit status: 0 complete run, 1 orderly stop (usage, option or\n"
    "        file error), 2 out of memory, 3 coverage below a threshold.\n";

}  // namespace

void print_extension_help() { print_out("%s", kExtensionHelp); }

bool scan_extension(int argc, const char* const* argv, int& i, ExtensionOptions& options) {
  const char* word = argv[i];
  if (std::strcmp(word, "--help") == 0) {
    print_usage(argv[0]);
    print_extension_help();
    fatal_exit(0);
  }
  if (std::strcmp(word, "--version") == 0) {
    print_out("vorelcov %s\n", kVorelcovVersion);
    fatal_exit(0);
  }
  if (std::strcmp(word, "--cobertura") == 0) {
    options.cobertura = take_value(argc, argv, i);
  } else if (std::strcmp(word, "--lcov") == 0) {
    options.lcov = take_value(argc, argv, i);
  } else if (std::strcmp(word, "--json-summary") == 0) {
    options.json_summary = take_value(argc, argv, i);
  } else if (std::strcmp(word, "--summary") == 0) {
    options.summary = true;
  } else if (std::strcmp(word, "--fail-under-line") == 0) {
    take_threshold(argc, argv, i, options.fail_under_line);
  } else if (std::strcmp(word, "--fail-under-function") == 0) {
    take_threshold(argc, argv, i, options.fail_under_function);
  } else if (std::strcmp(word, "--fail-under-block") == 0) {
    take_threshold(argc, argv, i, options.fail_under_block);
  } else if (std::strcmp(word, "--fail-under-branch") == 0) {
    take_threshold(argc, argv, i, options.fail_under_branch);
  } else if (std::strcmp(word, "--jobs") == 0) {
    take_jobs(argc, argv, i, options.jobs);
  } else if (std::strcmp(word, "--html") == 0) {
    options.html = take_value(argc, argv, i);
    if (options.html->empty()) {
      print_err("ERROR: option --html needs a directory name.\n");
      fatal_exit(1);
    }
  } else if (std::strcmp(word, "--html-medium") == 0 || std::strcmp(word, "--html-high") == 0) {
    std::optional<int64_t> value;
    const bool medium = word[7] == 'm';
    take_threshold(argc, argv, i, value);
    (medium ? options.html_medium : options.html_high) = *value;
  } else {
    return false;
  }
  return true;
}

}  // namespace vorel
