#include "driver/run.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "coverage/component.h"
#include "coverage/compute.h"
#include "coverage/coverage_list.h"
#include "coverage/function_records.h"
#include "coverage/markers.h"
#include "coverage/model.h"
#include "coverage/source_path.h"
#include "coverage/profile_match.h"
#include "base/catalog.h"
#include "base/diag.h"
#include "base/ordered_work.h"
#include "driver/extensions.h"
#include "driver/layer_options.h"
#include "driver/options.h"
#include "driver/output_clash.h"
#include "driver/outputs.h"
#include "base/progress.h"
#include "driver/settings.h"
#include "driver/source_root.h"
#include "driver/usage.h"
#include "platform/file_open.h"
#include "platform/fs.h"
#include "platform/output_file.h"
#include "platform/whole_file.h"
#include "profile/dpi.h"
#include "profile/spi.h"
#include "report/call_graph_file.h"
#include "report/full_block_lists.h"
#include "report/function_lists.h"
#include "report/line_coverage.h"
#include "report/page_names.h"
#include "report/html_report.h"
#include "report/modern/modern_file_page.h"
#include "report/summary_table.h"

namespace vorel {

namespace {

// Everything a run holds from start-up to the clean-up.
struct Run {
  Settings settings;
  CoverageOptions coverage;  // the layers' records, filled from the settings
  ReportOptions report;
  DpiFilePtr dpi;  // owners: a fatal stop that unwinds past the run closes them
  SpiFile* spi = nullptr;
  DpiFilePtr ref;
  OutputFiles outputs;
  ComponentFile component_file;  // the filter and the marker lists
  CoverageModel model;
  FullBlockLists full_lists{nullptr, nullptr};  // filled by the HTML mode's file pass
  ExtensionRun extensions;
  bool failed = false;  // an output failed and the run went on: it ends with status 1

  Run() = default;
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  // A fatal stop skips the clean-up; the static profile file is still
  // released (closing it writes nothing).
  ~Run() {
    if (spi) spi_close(spi);
  }
};

// ---- start-up ----

// The first word that begins with "-platform=" names the target platform.
void take_platform(int argc, char** argv, Settings& settings) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "-platform=", 10) != 0) continue;
    settings.platform = argv[i] + 10;
    if (*settings.platform == "vxworks70") select_vxworks7_banner(true);
    return;
  }
}

void scan_or_usage(int argc, char** argv, Settings& settings) {
  if (scan_options(argc, argv, settings)) return;
  print_banner(stderr);
  std::fflush(stderr);
  print_usage(argv[0]);
  fatal_exit(1);
}

DpiFilePtr open_dynamic(const std::string& name, const Settings& settings) {
  DpiOpenOptions options;
  options.src_root = settings.src_root_dir;
  options.check_duplicate_keys = !settings.multiple_definitions;
  options.host = settings.host;
  clear_open_failure();
  DpiFilePtr dpi(dpi_open(name.c_str(), options));
  if (!dpi) {
    print_err("Couldn't find the dpi file %s!\n", name.c_str());
    // A file that is there but cannot be read says why.
    const OpenFailure& failure = last_open_failure();
    if (!failure.missing && !failure.reason.empty())
      print_err("vorelcov: %s: %s\n", name.c_str(), failure.reason.c_str());
    fatal_exit(1);
  }
  return dpi;
}

// An imported profile (profile/imported.h) hands out its project's names
// relative to the project's root; its sources are read below -srcroot or
// VOREL_PROF_SRC_ROOT when the user gave one, else below the stored root
// when that directory exists, else below the working directory.
void settle_imported_sources(Run& run) {
  const Settings& s = run.settings;
  run.coverage.src_root_dir.clear();
  std::string dir = s.src_root_from_user ? s.src_root_dir : spi_shared_file_root(run.spi);
  if (!s.src_root_from_user && !dir.empty() && !is_directory(dir)) dir.clear();
  run.coverage.source_dir = dir;
  // The machine-readable outputs name the files relative to this directory.
  std::string base = absolute_path(dir.empty() ? "." : dir);
  while (base.size() > 1 && (base.back() == '/' || base.back() == '\\')) base.pop_back();
  run.extensions.set_base_dir(base);
}

void open_profiles(Run& run) {
  const Settings& s = run.settings;
  run.dpi = open_dynamic(s.dpi_file_name, s);
  const bool imported = run.dpi->imported;
  SpiOpenFailure failure{};
  run.spi = spi_open(s.spi_file_name.c_str(), imported ? std::string() : s.src_root_dir, &failure);
  if (!run.spi) {
    print_spi_open_failure(s.spi_file_name.c_str(), failure);
    fatal_exit(1);
  }
  if (s.line_coverage && spi_version(run.spi) < 7) {
    print_err("ERROR: %s has old version file format which does not support -txtlcov option. "
              "Delete file and redo instrumentation compilation.\n",
              s.spi_file_name.c_str());
    fatal_exit(1);
  }
  if (imported) settle_imported_sources(run);
}

// Runs that write in one directory take turns: the report of one run is
// never mixed with another's.
void say_waiting(const std::string&) {
  print_err("vorelcov: waiting for another vorelcov run in this directory\n");
}

// The report directory is made when missing; a symbolic link there is not
// written through.
// One that cannot be made says why before the first page fails.
void prepare_report_directory() {
  errno = 0;
  const DirectoryState state = output_directory(kReportDirectory);
  if (state == DirectoryState::kUnusable)
    print_err("vorelcov: cannot make directory %s: %s\n", kReportDirectory,
              errno != 0 && errno != ENOTDIR && errno != EEXIST ? std::strerror(errno)
                                                                 : "a file of that name is in the way");
  if (state != DirectoryState::kSymlink) return;
  print_err("ERROR: %s is a symbolic link; the report is not written through it.\n",
            kReportDirectory);
  fatal_exit(1);
}

void start_up(int argc, char** argv, Run& run) {
  Settings& s = run.settings;
  take_platform(argc, argv, s);
  scan_or_usage(argc, argv, s);
  set_trace_mask(s.trace_mask);
  SourceRootInputs root_inputs = read_source_root_inputs(s);
  s.src_root_from_user = root_inputs.option.has_value() || root_inputs.env.has_value();
  s.src_root_dir = settle_source_root(s.host, root_inputs);
  run.coverage = coverage_options(s);
  run.report = report_options(s);

  refuse_shared_outputs(s);
  open_profiles(run);
  output_begin({"."}, say_waiting);
  open_output_files(s, run.outputs);
  run.extensions.start(s.extensions, spi_version(run.spi), s.spi_file_name);
  if (s.differential) run.ref = open_dynamic(*s.ref_dpi_file_name, s);
  set_program_name(argv[0]);

  run.component_file =
      read_component_file(s.component_file_name, command_line_markers(s), s.host);
  const MarkerLists& markers = run.component_file.markers;
  if (markers.in_use && !check_markers(markers)) fatal_exit(1);
  run.report.markers_in_use = markers.in_use;  // the component file may add markers
  run.model.components = build_component_list(run.spi, run.coverage, run.component_file.filter,
                                              current_directory().value_or(""));
  run.extensions.set_file_names(run.model.components.entries, s.differential, s.host.separator);
  warn_if_unrelated(count_profile_match(run.model.components, *run.dpi), s.spi_file_name,
                    s.dpi_file_name);
  if (run.ref)
    warn_if_unrelated(count_profile_match(run.model.components, *run.ref), s.spi_file_name,
                      *s.ref_dpi_file_name);
}

// ---- the per-file loop ----

void write_file_output(const Run& run, bool line_coverage, const CoverageModel& file) {
  const Settings& s = run.settings;
  bool ok = true;
  if (line_coverage)
    ok = write_line_coverage(file.files, s.block_counts, run.report);
  else if (!s.no_html)
    ok = html_write_source_view(run.report, file);
  if (!ok) fatal_exit(1);
}

// Orders the group's routines, scans the source for markers and computes
// the file; true when its output is to be written.
bool compute_group(Run& run, size_t first, bool line_coverage) {
  CoverageModel& model = run.model;
  const std::vector<Component>& entries = model.components.entries;
  model.current_group = group_of(entries, first);
  const MarkerLists& markers = run.component_file.markers;
  if (markers_need_scan(markers))
    model.scanner =
        MarkerScanner::scan_file(source_path(entries[first].file_name, run.coverage.source_dir),
                                 markers, order_by_start_line(model.current_group));
  BlockListSink* sink = !line_coverage && run.full_lists.any() ? &run.full_lists : nullptr;
  ComputeContext ctx{run.coverage, run.dpi.get(), run.ref.get(), model, sink,
                     run.extensions.figures()};
  return compute_file(ctx, first, line_coverage);
}

// One file between its computation and its output.
struct FileJob {
  CoverageModel model;  // the file's own state, moved out of the run's model
  bool write = false;
  std::unique_ptr<FileFigures> html;  // --html: the file's figures for its page
};

unsigned pass_threads(const Run& run) {
  const unsigned jobs = run.settings.extensions.jobs;
  return jobs != 0 ? jobs : hardware_threads();
}

// Walks the component list one source-file group at a time; every entry
// ticks the meter once, processed or skipped. A figures-only pass (for the
// extension outputs of modes without a file pass) writes no file output and
// keeps the meter quiet.
//
// The computation runs on this thread, file after file (it adds to the
// run's totals, lists and figures); the file's output is written on a
// worker from the file's own state. Console output and the meter come out
// in file order (base/ordered_work.h).
void per_file_loop(Run& run, bool line_coverage, bool figures_only = false) {
  const bool meter = run.settings.progress_meter && !figures_only;
  const std::vector<Component>& entries = run.model.components.entries;
  const size_t n = entries.size();
  if (meter) progress_start(static_cast<int>(n));
  // Four files per thread in hand keep the workers busy while this thread
  // computes; more would only hold memory.
  const ModernOptions* html = run.extensions.html();
  const unsigned threads = figures_only && !html ? 1 : pass_threads(run);
  OrderedWork pool(threads, 4 * static_cast<size_t>(threads));
  size_t i = 0;
  while (i < n) {
    size_t next = i + 1;
    while (next < n && entries[next].file_name == entries[i].file_name) ++next;
    auto job = std::make_shared<FileJob>();
    pool.add(
        [&run, job, i, line_coverage, figures_only, html] {
          job->write = compute_group(run, i, line_coverage) && !figures_only;
          job->html = run.extensions.file_done();
          if (job->write || job->html)
            job->model = run.model.take_file();
          else
            run.model.reset_file();
        },
        [&run, job, line_coverage, html] {
          if (job->write) write_file_output(run, line_coverage, job->model);
          if (job->html && !write_modern_file_page(*html, *job->html, job->model)) fatal_exit(1);
        },
        [meter, ticks = next - i] {
          if (meter)
            for (size_t t = 0; t < ticks; ++t) progress_tick();
        });
    i = next;
  }
  pool.finish();
}

// ---- the two modes ----

void html_mode(Run& run) {
  const Settings& s = run.settings;
  if (!s.no_html) {
    prepare_report_directory();
    if (!html_write_report_frame(run.report, run.model)) fatal_exit(1);
  }
  run.full_lists = FullBlockLists(run.outputs.txt_block_list_full, run.outputs.xml_block_list_full);
  per_file_loop(run, false);
  if (s.no_html) return;

  const size_t covered = run.model.files.get_filenames(kFileCovered).size();
  const size_t uncovered = run.model.files.get_filenames(kFileUncovered).size();
  const char* covered_base = covered > 0 ? "__Covered_Files_Coverage" : nullptr;
  const char* uncovered_base = uncovered > 0 ? "__Uncovered_Files_Coverage" : nullptr;
  if (covered_base && !html_write_file_lists(run.report, run.model, covered_base, kFileCovered))
    fatal_exit(1);
  if (uncovered_base &&
      !html_write_file_lists(run.report, run.model, uncovered_base, kFileUncovered))
    fatal_exit(1);
  if (!html_write_summary_and_root(run.report, run.model, "Code_Coverage", "__Code_Coverage",
                                   covered_base, uncovered_base))
    fatal_exit(1);
}

void write_list(const Run& run, FunctionListKind kind, std::FILE* out) {
  FunctionRecordsInput input{run.coverage, run.dpi.get(), run.model.components,
                             spi_version(run.spi)};
  if (!write_function_list(out, kind, input, run.report)) fatal_exit(1);
}

void line_coverage_pass(Run& run) {
  prepare_report_directory();  // a failure to make it shows when the files are opened
  run.model.files.set_merge_mode(false);
  per_file_loop(run, true);
  const std::vector<const FileEntry*> covered = run.model.files.get_filenames(kFileCovered);
  const std::vector<const FileEntry*> uncovered = run.model.files.get_filenames(kFileUncovered);
  if (!write_summary_table("Code_Coverage", "txt", run.model.totals, covered, uncovered,
                           run.report))
    run.failed = true;
}

void text_mode(Run& run) {
  const Settings& s = run.settings;
  if (s.txt_function_list)
    write_list(run, FunctionListKind::kTextFunctions, run.outputs.txt_function_list);
  if (s.xml_function_list)
    write_list(run, FunctionListKind::kXmlFunctions, run.outputs.xml_function_list);
  if (s.txt_block_list) write_list(run, FunctionListKind::kTextBlocks, run.outputs.txt_block_list);
  if (s.line_coverage) line_coverage_pass(run);
  if (s.xml_block_list) write_list(run, FunctionListKind::kXmlBlocks, run.outputs.xml_block_list);
  if (s.call_graph_file && !write_call_graph_file(run.outputs.call_graph, run.coverage,
                                                  run.report.demangle, run.dpi.get()))
    fatal_exit(1);
  // The list modes have no file pass of their own: the extensions get one
  // after every specified output is written.
  if (!s.line_coverage && run.extensions.active()) per_file_loop(run, false, true);
}

// ---- clean-up (runs that were not stopped) ----

void clean_up(Run& run) {
  close_output_files(run.settings, run.outputs);
  run.dpi.reset();
  run.ref.reset();
  spi_close(run.spi);
  run.spi = nullptr;
  if (run.settings.progress_meter) print_out("\n");
  std::fflush(stdout);
}

// Puts every output of the run in place, or none when an output failed.
bool put_outputs_in_place(const Run& run) {
  if (run.failed) {
    output_abandon();
    return false;
  }
  std::string failed_name;
  if (output_commit(&failed_name)) return true;
  print_err("ERROR: writing file %s failed.\n", failed_name.c_str());
  return false;
}

}  // namespace

int run_main(int argc, char** argv) {
  // A program started without even word 0 still has a name for the usage.
  static char fallback_name[] = "vorelcov";
  static char* fallback_argv[] = {fallback_name, nullptr};
  if (argc < 1 || !argv || !argv[0]) {
    argc = 1;
    argv = fallback_argv;
  }
  Run run;
  start_up(argc, argv, run);
  if (run.settings.html_report)
    html_mode(run);
  else
    text_mode(run);
  clean_up(run);
  const int status = run.extensions.finish();
  return put_outputs_in_place(run) ? status : 1;
}

}  // namespace vorel
