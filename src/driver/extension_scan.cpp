// Scan and help text of the extension options.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/diag.h"
#include "driver/extension_options.h"
#include "driver/extensions.h"
#include "driver/usage.h"
#include "driver/version.h"
#include "platform/long_option.h"

namespace vorel {

namespace {

// A percentage from 0 to 100 in hundredths, or nullopt: decimal digits with
// an optional fraction, nothing else (no sign, exponent, hexadecimal or
// blank).
std::optional<int64_t> parse_percent(const char* text) {
  const size_t digits = std::strspn(text, "0123456789");
  size_t length = digits;
  if (text[length] == '.') length += 1 + std::strspn(text + length + 1, "0123456789");
  if (length == 0 || text[length] != '\0' || (digits == 0 && length == 1)) return std::nullopt;
  const double value = std::strtod(text, nullptr);
  if (!std::isfinite(value) || value > 100) return std::nullopt;
  return std::llround(value * 100);
}

// The option word at argv[i], split at '=' ("--jobs=4" is "--jobs 4").
struct Word {
  LongOption option;
  int argc;
  const char* const* argv;
  int& i;
};

const char* take_value(Word& w) {
  const char* value = long_option_value(w.option, w.argc, w.argv, w.i);
  if (!value) {
    print_err("ERROR: option %s needs a value.\n", w.argv[w.i]);
    fatal_exit(1);
  }
  return value;
}

// An output's file name: an empty word names no file.
const char* take_file_name(Word& w) {
  const std::string name(w.option.name);
  const char* value = take_value(w);
  if (*value == '\0') {
    print_err("ERROR: option %s needs a file name, not an empty word.\n", name.c_str());
    fatal_exit(1);
  }
  return value;
}

void take_threshold(Word& w, std::optional<int64_t>& slot) {
  const std::string name(w.option.name);
  const char* value = take_value(w);
  slot = parse_percent(value);
  if (!slot) {
    print_err("ERROR: option %s needs a percentage from 0 to 100, not \"%s\".\n", name.c_str(),
              value);
    fatal_exit(1);
  }
}

// Most threads --jobs takes.
constexpr uint64_t kMaxJobs = 256;

void take_jobs(Word& w, unsigned& jobs) {
  const std::string name(w.option.name);
  const char* value = take_value(w);
  uint64_t n = 0;
  if (!parse_decimal(value, 1, kMaxJobs, &n)) {
    print_err("ERROR: option %s needs a number of threads from 1 to %llu, not \"%s\".\n",
              name.c_str(), static_cast<unsigned long long>(kMaxJobs), value);
    fatal_exit(1);
  }
  jobs = static_cast<unsigned>(n);
}

// A switch given "=value".
void refuse_value(const Word& w) {
  if (!w.option.attached) return;
  const std::string name(w.option.name);
  print_err("ERROR: option %s takes no value.\n", name.c_str());
  fatal_exit(1);
}

const char* const kExtensionHelp =
    "Extensions (GNU-style long options; a value follows as the next word or\n"
    "after '=', as in --jobs=4; numbers are decimal):\n"
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
  Word w{split_long_option(argv[i]), argc, argv, i};
  const std::string_view word = w.option.name;
  if (word == "--help") {
    refuse_value(w);
    print_usage(argv[0]);
    print_extension_help();
    fatal_exit(0);
  }
  if (word == "--version") {
    refuse_value(w);
    print_out("vorelcov %s\n", kVorelcovVersion);
    fatal_exit(0);
  }
  if (word == "--cobertura") {
    options.cobertura = take_file_name(w);
  } else if (word == "--lcov") {
    options.lcov = take_file_name(w);
  } else if (word == "--json-summary") {
    options.json_summary = take_file_name(w);
  } else if (word == "--summary") {
    refuse_value(w);
    options.summary = true;
  } else if (word == "--fail-under-line") {
    take_threshold(w, options.fail_under_line);
  } else if (word == "--fail-under-function") {
    take_threshold(w, options.fail_under_function);
  } else if (word == "--fail-under-block") {
    take_threshold(w, options.fail_under_block);
  } else if (word == "--fail-under-branch") {
    take_threshold(w, options.fail_under_branch);
  } else if (word == "--jobs") {
    take_jobs(w, options.jobs);
  } else if (word == "--html") {
    options.html = take_value(w);
    if (options.html->empty()) {
      print_err("ERROR: option --html needs a directory name.\n");
      fatal_exit(1);
    }
  } else if (word == "--html-medium" || word == "--html-high") {
    std::optional<int64_t> value;
    const bool medium = word == "--html-medium";
    take_threshold(w, value);
    (medium ? options.html_medium : options.html_high) = *value;
  } else {
    return false;
  }
  return true;
}

}  // namespace vorel
