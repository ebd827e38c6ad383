#include "coverage/compute.h"

#include <algorithm>
#include <vector>

#include "coverage/block_rules.h"
#include "coverage/compute_routine.h"
#include "coverage/file_figures.h"
#include "coverage/model.h"
#include "coverage/source_path.h"
#include "coverage/unwind.h"
#include "base/diag.h"
#include "coverage/coverage_options.h"
#include "profile/dpi.h"
#include "profile/line_holder.h"

namespace vorel {

namespace {

std::unique_ptr<DpiRoutine> look_up(const CoverageOptions& s, DpiFile* f, const Component& c) {
  if (s.multiple_definitions)
    return dpi_match_by_block_count(f, c.file_name, c.proc_name, c.counted_blocks + c.extra_blocks);
  return dpi_match_by_name(f, c.file_name, c.proc_name);
}

// The name of the full block lists: the readable name, computed afresh,
// without one leading '_' on hosts with that symbol naming.
std::string list_name(const CoverageOptions& s, const Component& c) {
  std::string name = readable_name(c.proc_name, s.demangle).value_or(std::string(c.proc_name));
  if (s.host.drop_underscore && !name.empty() && name[0] == '_') name = name.substr(1);
  return name;
}

// The routine's line total: its distinct lines, each infeasible one left out
// once. The lines also join the file's distinct lines.
uint32_t feasible_line_count(const RoutineLineMap& map, const MarkerScanner& scanner,
                             std::vector<uint32_t>& file_lines) {
  uint32_t total = 0;
  for (uint32_t line : map.all_lines)
    if (!scanner.is_infeasible(line)) {
      ++total;
      file_lines.push_back(line);
    }
  return total;
}

// A file's line total counts each line once, however many routines share it.
uint32_t distinct_count(std::vector<uint32_t>& lines) {
  std::sort(lines.begin(), lines.end());
  return static_cast<uint32_t>(std::unique(lines.begin(), lines.end()) - lines.begin());
}

void process_routine(const ComputeContext& ctx, Component& c, bool line_coverage,
                     FileWork& file) {
  const CoverageOptions& s = ctx.options;
  RoutineWork r;
  r.entry = &c;
  r.line_holder = is_line_holder_name(c.proc_name);
  ctx.model.files.begin_routine();
  if (ctx.sink && !r.line_holder) r.list_name = list_name(s, c);
  if (line_coverage && c.has_line_map_handle) {
    r.line_map = load_line_map(c);
    if (r.line_map) r.line_total = feasible_line_count(*r.line_map, ctx.model.scanner, file.line_numbers);
  }
  file.blocks += c.counted_blocks;
  if (!r.line_holder) ++file.functions;

  r.record = look_up(s, ctx.dpi, c);
  const bool executed = routine_executed(r.record.get());
  trace(kTraceRoutines, "Function: %s. Executed = %c\n",
        s.demangle ? c.readable_name->data() : c.proc_name.data(), executed ? 't' : 'f');
  // Taken before the unwind repair, as the line-coverage mode counts lines.
  if (ctx.figures)
    figures_add_routine(*ctx.figures, c, r.record.get(), executed, ctx.model.scanner, r.line_holder);
  if (executed && !s.no_unwind && !line_coverage) unwind_clone_pass(*r.record);
  if (r.record) {
    uint32_t n = dpi_block_cnt_get(*r.record);
    r.extra = n > c.counted_blocks ? n - c.counted_blocks : 0;
  }
  if (s.differential && ctx.ref_dpi) {
    r.ref_record = look_up(s, ctx.ref_dpi, c);
    const bool ref_executed = routine_executed(r.ref_record.get());
    if (ref_executed && !s.no_unwind) unwind_clone_pass(*r.ref_record);
    if (!ref_executed && executed) {
      r.newly_covered = true;
      c.newly_covered = true;
      if (!r.line_holder) ++file.new_functions;
    }
  }

  if (executed)
    add_executed_routine(ctx, line_coverage, r, file);
  else if (!s.differential)
    add_routine_not_executed(ctx, line_coverage, r);

  // The line after the routine's end; a routine of -ref that did not run
  // leaves no marks.
  const bool moved = c.end_line != c.start_line || c.end_column != c.start_column;
  if (c.end_line != 0 && moved && !line_coverage && (executed || !s.differential))
    ctx.model.files.mark_last_block(c.end_line + 1);

  file.covered_lines += r.covered_lines;
  if (r.line_holder) return;  // lines and blocks, but no function
  FunctionAdd add;
  add.readable_name = *c.readable_name;
  add.proc_name = c.proc_name;
  add.ambiguous = c.ambiguous;
  add.start_line = c.start_line;
  add.blocks = executed ? c.counted_blocks + r.extra - r.ignored : c.counted_blocks;
  add.covered_blocks = r.covered;
  add.lines = r.line_total;
  add.covered_lines = r.covered_lines;
  add.newly_covered = r.newly_covered;
  ctx.model.functions.add(add, s.differential);
}

uint32_t file_flags(const CoverageOptions& s, const FileWork& w) {
  if (!s.differential) return w.executed_with_blocks ? kFileCovered : kFileUncovered;
  if (w.new_functions == w.functions && w.with_new_coverage >= 1) return kFileUncovered;
  if (w.with_new_coverage >= 1) return kFileCovered;
  return 0;
}

void write_totals(const ComputeContext& ctx, FileWork& w, bool line_coverage) {
  const CoverageOptions& s = ctx.options;
  FileEntry& e = *ctx.model.files.current_entry();
  e.functions = w.functions;
  e.covered_functions = s.differential ? w.with_new_coverage : w.executed;
  e.blocks = w.blocks;
  e.covered_blocks = w.covered_blocks;
  e.lines = line_coverage ? distinct_count(w.line_numbers) : 0;
  e.covered_lines = line_coverage ? w.covered_lines : 0;
  e.function_percent = percent_of(e.covered_functions, e.functions);
  e.block_percent = percent_of(e.covered_blocks, e.blocks);
  e.line_percent = percent_of(e.covered_lines, e.lines);
  e.flags |= file_flags(s, w);

  RunTotals& t = ctx.model.totals;
  ++t.files;
  if (e.flags & kFileCovered) ++t.covered_files;
  t.functions += e.functions;
  t.covered_functions += e.covered_functions;
  t.blocks += e.blocks;
  t.covered_blocks += e.covered_blocks;
  t.lines += e.lines;
  t.covered_lines += e.covered_lines;
  t.last_function_percent = e.function_percent;
  t.last_block_percent = e.block_percent;
}

void check_dpi(const ComputeContext& ctx) {
  if (!ctx.dpi) {
    print_err("Internal error: couldn't find the dpi file %s!\n",
              ctx.options.dpi_file_name.c_str());
    fatal_exit(1);
  }
  if (ctx.dpi->runs == 0) {
    print_err("Read in 0 runs for .dpi file - .dpi File corrupt!\n");
    fatal_exit(1);
  }
}

}  // namespace

bool compute_file(const ComputeContext& ctx, size_t first, bool line_coverage) {
  CoverageModel& model = ctx.model;
  std::span<Component> group = group_of(model.components.entries, first);
  const Component& head = group.front();
  model.current_group = group;
  trace(kTraceMarkBlocks, "Begin markBlocks for file: %s\n", head.file_name.data());
  const std::string file_name(head.file_name), report_name(head.report_name);
  if (ctx.sink) ctx.sink->begin_file(file_name);

  const std::string path = source_path(file_name, ctx.options.source_dir);
  model.files.add_filename(file_name, report_name, path);
  if (!model.files.set_name(file_name, report_name, path)) {
    // Keep the full lists well formed: the file's group is closed empty.
    if (ctx.sink) ctx.sink->end_file();
    return false;
  }
  check_dpi(ctx);
  model.functions.open(group.size());
  if (ctx.figures)
    figures_begin_file(*ctx.figures, file_name, model.files.current_node()->bound() - 1);

  FileWork work;
  for (Component& c : group) {
    if (is_left_out(c)) {
      model.functions.count_seen();
      continue;
    }
    if (model.scanner.is_infeasible(c.start_line)) continue;
    process_routine(ctx, c, line_coverage, work);
  }
  write_totals(ctx, work, line_coverage);
  if (ctx.figures) {
    ctx.figures->blocks = work.blocks;
    ctx.figures->covered_blocks = work.covered_blocks;
  }
  if (ctx.sink) ctx.sink->end_file();
  trace(kTraceMarkBlocks, "End markBlocks for file:   %s\n", head.file_name.data());
  return !ctx.options.differential || work.covered_blocks >= 1;
}

}  // namespace vorel
