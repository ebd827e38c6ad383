// vorelcov-import-llvm: turns the JSON of `llvm-cov export -format=text`
// (clang's source-based coverage) into a static and a dynamic profile file
// that vorelcov reads.
#include <cstdio>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "import_gcov/exclusion_markers.h"
#include "import_gcov/gcov_runner.h"
#include "import_gcov/gunzip.h"
#include "import_gcov/marker_filter.h"
#include "import_gcov/import.h"
#include "import_gcov/outputs.h"
#include "import_gcov/source_filter.h"
#include "import_llvm/llvm_cov_runner.h"
#include "import_llvm/llvm_json.h"
#include "import_llvm/program_builder.h"
#include "platform/long_option.h"
#include "platform/whole_file.h"
#include "profile_writer/program.h"

namespace {

constexpr const char* kUsage =
    "Usage: vorelcov-import-llvm [options] JSON...\n"
    "       vorelcov-import-llvm [options] --instr-profile PROFILE BINARY...\n"
    "Reads the JSON of `llvm-cov export -format=text` (a program built with\n"
    "`clang -fprofile-instr-generate -fcoverage-mapping`) and writes a static\n"
    "and a dynamic profile file for vorelcov.\n"
    "  JSON        an llvm-cov export file (plain or gzip-compressed)\n"
    "  --instr-profile PROFILE  a .profdata file, or .profraw files (repeatable;\n"
    "              merged with llvm-profdata): llvm-cov export is run on the\n"
    "              BINARY... given instead of JSON files\n"
    "  --llvm-cov CMD       the llvm-cov to run (default llvm-cov; e.g. llvm-cov-14)\n"
    "  --llvm-profdata CMD  the llvm-profdata to run (default llvm-profdata)\n"
    "  --spi FILE  static profile file to write (default zentra.spi)\n"
    "  --dpi FILE  dynamic profile file to write (default zentra.dpi)\n"
    "  --runs N    number of runs the counts were summed over (default 1)\n"
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
  bool markers = true;
  import_gcov::SourceFilterOptions sources;
  import_llvm::LlvmCovRunOptions tools;
};

int fail(const std::string& message) {
  std::fprintf(stderr, "vorelcov-import-llvm: %s\n", message.c_str());
  return 1;
}

void warn(const std::string& message) { std::fprintf(stderr, "vorelcov-import-llvm: warning: %s\n", message.c_str()); }

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
    if (arg == "--no-markers" || arg == "--keep-external") {
      if (option.attached) return fail("option " + arg + " takes no value");
      (arg == "--no-markers" ? o->markers : o->sources.keep_external) = arg == "--keep-external";
      continue;
    }
    if (arg == "--root" || arg == "--include" || arg == "--exclude" || arg == "--spi" || arg == "--dpi" ||
        arg == "--runs" || arg == "--instr-profile" || arg == "--llvm-cov" || arg == "--llvm-profdata") {
      const char* given = vorel::long_option_value(option, argc, argv, i);
      if (!given) return fail("option " + arg + " needs a value\n" + kUsage);
      std::string value = given;
      uint64_t n = 0;
      if (arg == "--instr-profile") o->tools.profiles.push_back(value);
      else if (arg == "--llvm-cov" || arg == "--llvm-profdata") {
        (arg == "--llvm-cov" ? o->tools.llvm_cov : o->tools.llvm_profdata) = import_gcov::split_command(value);
        if ((arg == "--llvm-cov" ? o->tools.llvm_cov : o->tools.llvm_profdata).empty())
          return fail(arg + " needs a command");
      } else if (arg == "--root") o->sources.root = value;
      else if (arg == "--spi") o->spi = value;
      else if (arg == "--dpi") o->dpi = value;
      else if (arg == "--runs") {
        if (!vorel::parse_decimal(value, 1, UINT32_MAX, &n))
          return fail("--runs needs a number from 1 to 4294967295, not '" + value + "'");
        o->runs = static_cast<uint32_t>(n);
      } else (arg == "--include" ? o->sources.include : o->sources.exclude).push_back(value);
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

// False (with `*error` naming the name) when a file or function name of
// `data` holds a line end or a zero byte, which profile files cannot store.
bool check_names(const import_llvm::LlvmExport& data, std::string* error) {
  for (const import_llvm::LlvmFile& f : data.files)
    if (!import_gcov::check_name("source file", f.filename, error)) return false;
  for (const import_llvm::LlvmFunction& f : data.functions) {
    if (!import_gcov::check_name("function", f.name, error)) return false;
    for (const std::string& name : f.filenames)
      if (!import_gcov::check_name("source file", name, error)) return false;
  }
  return true;
}

// Checks the names of one parsed export and adds it to the builder.
bool take_export(std::string_view json, const std::string& name, const import_llvm::FileRules& rules,
                 import_llvm::ProgramBuilder* builder, std::string* error) {
  import_llvm::LlvmExport data;
  return import_llvm::parse_llvm_export(json, &data, error) && check_names(data, error) &&
         builder->add(data, name, rules, error);
}

int run(int argc, char** argv) {
  Options o;
  int status = parse_args(argc, argv, &o);
  if (status >= 0) return status;
  std::string error;
  import_gcov::SourceFilter sources;
  if (!sources.init(o.sources, &error)) return fail(error);
  import_gcov::MarkerFilter markers;
  import_llvm::FileRules rules;
  rules.keeps = [&](const std::string& name) { return sources.keeps(name); };
  if (o.markers)
    rules.markers = [&](const std::string& name) -> const import_gcov::ExclusionMarkers* {
      std::vector<std::string> warnings;
      const import_gcov::ExclusionMarkers& m = markers.markers_of(name, &warnings);
      for (const std::string& w : warnings) warn(w);
      return m.lines.empty() ? nullptr : &m;
    };
  // Every file read, so that no output can be one of them. An input's name
  // is its module's, which profile files must be able to store.
  std::vector<std::string> files = o.inputs;
  files.insert(files.end(), o.tools.profiles.begin(), o.tools.profiles.end());
  for (const std::string& name : o.inputs)
    if (!import_gcov::check_name("input", name, &error)) return fail(error);
  if (!import_gcov::begin_outputs(o.spi, o.dpi, files, &error, "vorelcov-import-llvm")) return fail(error);
  import_llvm::ProgramBuilder builder;
  std::map<std::string, bool> seen;
  std::string bytes, text;
  if (!o.tools.profiles.empty()) {
    // The inputs are the program's binaries: llvm-cov writes the export.
    o.tools.binaries = o.inputs;
    o.inputs.clear();
    if (!import_llvm::run_llvm_cov_export(o.tools, warn, &bytes, &error)) return fail(error);
    const std::string name = vorel::absolute_path(o.tools.binaries.front());
    if (!take_export(bytes, name, rules, &builder, &error)) return fail(name + ": " + error);
  }
  for (const std::string& name : o.inputs) {
    if (seen[name]) continue;  // a file given twice is read once
    seen[name] = true;
    if (!vorel::read_whole_file(name, &bytes, &error, import_gcov::kMaxInputBytes))
      return fail(name + ": cannot read: " + error);
    std::string_view json = bytes;
    if (import_gcov::looks_gzipped(bytes)) {
      if (!import_gcov::gunzip(bytes, &text, &error, import_gcov::kMaxJsonBytes)) return fail(name + ": " + error);
      json = text;
    }
    if (!take_export(json, name, rules, &builder, &error)) return fail(name + ": " + error);
  }
  if (const std::string why = sources.nothing_kept(); !why.empty()) return fail(why);
  import_llvm::ImportSummary summary;
  profile_writer::Program program = builder.finish(o.runs, &summary);
  sources.store_roots(&program);  // names relative to the project's root
  if (!import_gcov::write_profiles(program, o.spi, o.dpi, &error)) return fail(error);
  std::printf("%zu inputs, %zu source files, %zu routines, %zu regions, %zu lines -> %s, %s\n", summary.inputs,
              summary.files, summary.routines, summary.blocks, summary.lines, o.spi.c_str(), o.dpi.c_str());
  if (summary.lines_outside_blocks)
    std::printf("%zu lines counted outside every region of their file's functions\n", summary.lines_outside_blocks);
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
    std::fputs("vorelcov-import-llvm: out of memory\n", stderr);
    return 2;
  }
}
