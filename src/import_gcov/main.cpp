// vorelcov-import-gcov: turns the JSON files of `gcov --json-format` into a
// static and a dynamic profile file that vorelcov reads.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "import_gcov/import.h"
#include "import_gcov/program_builder.h"
#include "platform/long_option.h"
#include "platform/whole_file.h"
#include "profile_writer/program.h"

namespace {

constexpr const char* kUsage =
    "Usage: vorelcov-import-gcov [--spi FILE] [--dpi FILE] [--runs N] INPUT...\n"
    "Reads the files that `gcov --json-format` writes and writes a static and a\n"
    "dynamic profile file for vorelcov.\n"
    "  INPUT       a .gcov.json.gz or .gcov.json file, or a directory searched\n"
    "              recursively for them\n"
    "  --spi FILE  static profile file to write (default zentra.spi)\n"
    "  --dpi FILE  dynamic profile file to write (default zentra.dpi)\n"
    "  --runs N    number of runs the counts were summed over (default 1)\n"
    "  --help      this text\n"
    "A value follows its option as the next word or after '=' (--runs=3).\n";

struct Options {
  std::string spi = "zentra.spi", dpi = "zentra.dpi";
  uint32_t runs = 1;
  std::vector<std::string> inputs;
};

int fail(const std::string& message) {
  std::fprintf(stderr, "vorelcov-import-gcov: %s\n", message.c_str());
  return 1;
}

// Returns -1 when the run goes on, else the exit status.
int parse_args(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    // "--name=value" is "--name value" (platform/long_option.h).
    const vorel::LongOption option = vorel::split_long_option(argv[i]);
    std::string arg(option.name);
    if (arg == "--help") {
      if (option.attached) return fail("option --help takes no value");
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--spi" || arg == "--dpi" || arg == "--runs") {
      const char* given = vorel::long_option_value(option, argc, argv, i);
      if (!given) return fail("option " + arg + " needs a value\n" + kUsage);
      std::string value = given;
      if (arg == "--spi") o->spi = value;
      else if (arg == "--dpi") o->dpi = value;
      else {
        uint64_t n = 0;
        if (!vorel::parse_decimal(value, 1, UINT32_MAX, &n))
          return fail("--runs needs a number from 1 to 4294967295, not '" + value + "'");
        o->runs = static_cast<uint32_t>(n);
      }
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-' && arg != "--") return fail("unknown option " + arg + "\n" + kUsage);
    if (arg == "--") {
      for (++i; i < argc; ++i) o->inputs.push_back(argv[i]);
      break;
    }
    o->inputs.push_back(arg);
  }
  if (o->inputs.empty()) return fail(std::string("no input given\n") + kUsage);
  return -1;
}

int run(int argc, char** argv) {
  Options o;
  int status = parse_args(argc, argv, &o);
  if (status >= 0) return status;
  std::vector<std::string> files;
  std::string error;
  if (!import_gcov::expand_inputs(o.inputs, &files, &error)) return fail(error);
  import_gcov::ProgramBuilder builder;
  std::string bytes;
  for (const std::string& name : files) {
    import_gcov::GcovUnit unit;
    if (!vorel::read_whole_file(name, &bytes, &error, import_gcov::kMaxInputBytes)) return fail(name + ": cannot read: " + error);
    if (!import_gcov::parse_gcov_bytes(bytes, &unit, &error) || !builder.add(unit, &error))
      return fail(name + ": " + error);
  }
  import_gcov::ImportSummary summary;
  profile_writer::Program program = builder.finish(o.runs, &summary);
  if (!profile_writer::write_spi(program, o.spi, profile_writer::SpiLayout::kBinaryV8, &error) ||
      !profile_writer::write_dpi(program, o.dpi, profile_writer::DpiLayout::kSegmentedToc, &error))
    return fail(error);
  std::printf("%zu units, %zu source files, %zu routines, %zu lines -> %s, %s\n", summary.units, summary.files,
              summary.routines, summary.lines, o.spi.c_str(), o.dpi.c_str());
  if (summary.routines_without_lines)
    std::printf("%zu functions without executable lines left out\n", summary.routines_without_lines);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("vorelcov-import-gcov: out of memory\n", stderr);
    return 2;
  }
}
