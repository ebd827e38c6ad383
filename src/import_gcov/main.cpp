// vorelcov-import-gcov: turns a build tree of `gcc --coverage` (gcov is run
// on it) or the JSON files of `gcov --json-format` into a static and a
// dynamic profile file that vorelcov reads.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "import_gcov/gcov_runner.h"
#include "import_gcov/import.h"
#include "import_gcov/input_discovery.h"
#include "import_gcov/marker_filter.h"
#include "import_gcov/outputs.h"
#include "import_gcov/program_builder.h"
#include "import_gcov/source_filter.h"
#include "platform/long_option.h"
#include "platform/whole_file.h"
#include "profile_writer/program.h"

namespace {

constexpr const char* kUsage =
    "Usage: vorelcov-import-gcov [options] INPUT...\n"
    "Reads the coverage data of a program built with `gcc --coverage` and writes\n"
    "a static and a dynamic profile file for vorelcov.\n"
    "  INPUT       a build directory: gcov is run on every .gcda (and .gcno) file\n"
    "              below it; a .gcda file; or a .gcov.json.gz or .gcov.json file\n"
    "              of `gcov --json-format`, or a directory holding only those\n"
    "  --spi FILE  static profile file to write (default zentra.spi)\n"
    "  --dpi FILE  dynamic profile file to write (default zentra.dpi)\n"
    "  --runs N    number of runs the counts were summed over (default 1)\n"
    "  --gcov-executable CMD  the gcov to run, matching the compiler (default gcov)\n"
    "  --jobs N    gcov processes at once (default: one per processor core)\n"
    "  --no-unexecuted  leave out units that never ran (.gcno without .gcda)\n"
    "  --no-markers     ignore LCOV_EXCL_* / GCOVR_EXCL_* markers in the sources\n"
    "  --root DIR  the project's root (default: the working directory); source\n"
    "              files outside it are left out\n"
    "  --keep-external  keep the source files outside the root\n"
    "  --include REGEX  keep only files whose root-relative path matches (repeatable)\n"
    "  --exclude REGEX  leave out files whose root-relative path matches (repeatable)\n"
    "  --help      this text\n"
    "A value follows its option as the next word or after '=' (--runs=3).\n";

struct Options {
  std::string spi = "zentra.spi", dpi = "zentra.dpi";
  uint32_t runs = 1;
  std::vector<std::string> inputs;
  import_gcov::GcovRunOptions gcov;
  bool unexecuted = true;
  bool markers = true;
  import_gcov::SourceFilterOptions sources;
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
    if (arg == "--no-unexecuted" || arg == "--no-markers" || arg == "--keep-external") {
      if (option.attached) return fail("option " + arg + " takes no value");
      if (arg == "--keep-external") o->sources.keep_external = true;
      else (arg == "--no-unexecuted" ? o->unexecuted : o->markers) = false;
      continue;
    }
    if (arg == "--root" || arg == "--include" || arg == "--exclude" || arg == "--spi" || arg == "--dpi" ||
        arg == "--runs" || arg == "--jobs" || arg == "--gcov-executable") {
      const char* given = vorel::long_option_value(option, argc, argv, i);
      if (!given) return fail("option " + arg + " needs a value\n" + kUsage);
      std::string value = given;
      uint64_t n = 0;
      if (arg == "--root") o->sources.root = value;
      else if (arg == "--include" || arg == "--exclude")
        (arg == "--include" ? o->sources.include : o->sources.exclude).push_back(value);
      else if (arg == "--spi") o->spi = value;
      else if (arg == "--dpi") o->dpi = value;
      else if (arg == "--gcov-executable") {
        o->gcov.command = import_gcov::split_command(value);
        if (o->gcov.command.empty()) return fail("--gcov-executable needs a command");
      } else if (arg == "--jobs") {
        if (!vorel::parse_decimal(value, 1, 256, &n))
          return fail("--jobs needs a number from 1 to 256, not '" + value + "'");
        o->gcov.jobs = static_cast<unsigned>(n);
      } else {
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

void warn(const std::string& message) { std::fprintf(stderr, "vorelcov-import-gcov: warning: %s\n", message.c_str()); }

// Takes one unit into the builder: only the project's source files, after
// their exclusion markers.
bool take_unit(import_gcov::GcovUnit& unit, const Options& o, import_gcov::SourceFilter& sources,
               import_gcov::MarkerFilter& markers, import_gcov::ProgramBuilder& builder, std::string* error) {
  if (!import_gcov::check_names(unit, error)) return false;
  sources.apply(&unit);
  if (o.markers) {
    std::vector<std::string> warnings;
    markers.apply(&unit, &warnings);
    for (const std::string& w : warnings) warn(w);
  }
  return builder.add(unit, error);
}

int run(int argc, char** argv) {
  Options o;
  o.gcov.jobs = std::max(1u, std::thread::hardware_concurrency());
  int status = parse_args(argc, argv, &o);
  if (status >= 0) return status;
  import_gcov::DiscoveredInputs inputs;
  std::string error;
  import_gcov::SourceFilter sources;
  if (!sources.init(o.sources, &error)) return fail(error);
  if (!import_gcov::discover_inputs(o.inputs, o.unexecuted, &inputs, &error)) return fail(error);
  for (const std::string& note : inputs.notes) warn(note);
  // Every file read, so that no output can be one of them.
  std::vector<std::string> files = inputs.json_files;
  for (const import_gcov::GcovBatch& batch : inputs.batches) files.insert(files.end(), batch.files.begin(), batch.files.end());
  if (!import_gcov::begin_outputs(o.spi, o.dpi, files, &error)) return fail(error);
  import_gcov::ProgramBuilder builder;
  import_gcov::MarkerFilter markers;
  std::string bytes;
  for (const std::string& name : inputs.json_files) {
    import_gcov::GcovUnit unit;
    if (!vorel::read_whole_file(name, &bytes, &error, import_gcov::kMaxInputBytes)) return fail(name + ": cannot read: " + error);
    if (!import_gcov::parse_gcov_bytes(bytes, &unit, &error) || !take_unit(unit, o, sources, markers, builder, &error))
      return fail(name + ": " + error);
  }
  auto take = [&](const import_gcov::GcovBatch& batch, import_gcov::GcovBatchResult& result, std::string* err) {
    for (size_t at = 0; at < result.messages.size();) {
      size_t end = std::min(result.messages.find('\n', at), result.messages.size());
      std::fprintf(stderr, "vorelcov-import-gcov: gcov: %s\n", result.messages.substr(at, end - at).c_str());
      at = end + 1;
    }
    for (size_t i = 0; i < result.units.size(); ++i)
      if (!take_unit(result.units[i], o, sources, markers, builder, err)) {
        *err = batch.files[i] + ": " + *err;
        return false;
      }
    return true;
  };
  if (!import_gcov::run_gcov_batches(inputs.batches, o.gcov, take, &error)) return fail(error);
  if (const std::string why = sources.nothing_kept(); !why.empty()) return fail(why);
  import_gcov::ImportSummary summary;
  profile_writer::Program program = builder.finish(o.runs, &summary);
  sources.store_roots(&program);
  if (!import_gcov::write_profiles(program, o.spi, o.dpi, &error)) return fail(error);
  std::printf("%zu units, %zu source files, %zu routines, %zu lines -> %s, %s\n", summary.units, summary.files,
              summary.routines, summary.lines, o.spi.c_str(), o.dpi.c_str());
  if (summary.routines_without_lines)
    std::printf("%zu functions without executable lines left out\n", summary.routines_without_lines);
  if (inputs.units_never_run) std::printf("%zu units never ran: included with zero counts\n", inputs.units_never_run);
  if (inputs.units_left_out) std::printf("%zu units that never ran left out\n", inputs.units_left_out);
  std::fputs(sources.left_out_summary().c_str(), stdout);
  if (markers.sources_with_markers())
    std::printf("exclusion markers applied in %zu source files\n", markers.sources_with_markers());
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
