#include "import_gcov/program_builder.h"

#include <algorithm>
#include <unordered_set>

#include "profile/branch_tag.h"

namespace import_gcov {

namespace pw = profile_writer;

namespace {

// Sums stay below UINT64_MAX, which the readers take as "never executed".
bool add_count(uint64_t* total, uint64_t count) {
  constexpr uint64_t kMax = UINT64_MAX - 1;
  if (count > kMax || *total > kMax - count) return false;
  *total += count;
  return true;
}

constexpr uint32_t kMaxColumn = 0xFFFF;  // the static reader keeps 16-bit columns

}  // namespace

std::string absolute_name(const std::string& cwd, const std::string& name) {
  if (name.empty() || name[0] == '/' || cwd.empty()) return name;
  std::string rest = name;
  while (rest.compare(0, 2, "./") == 0) rest.erase(0, 2);
  return cwd.back() == '/' ? cwd + rest : cwd + "/" + rest;
}

ProgramBuilder::RoutineData& ProgramBuilder::routine_of(FileData& file, const std::string& name,
                                                        size_t module) {
  auto [it, added] = file.routine_index.emplace(name, file.routines.size());
  if (added) {
    file.routines.emplace_back(name, RoutineData{});
    file.routines.back().second.module = module;
  }
  return file.routines[it->second].second;
}

bool ProgramBuilder::add_branches(FileData& file, const GcovLine& l) {
  if (l.branches.empty() && !(l.unexecuted_block && l.count > 0)) return true;
  LineBranches& lb = file.branches[l.line_number];
  if (l.unexecuted_block && l.count > 0) lb.unexecuted_block = true;
  // lcov writes "-" for the arcs of a line that did not run and has an
  // unexecuted block; such an arc adds nothing to a sum.
  const bool ran = !(l.unexecuted_block && l.count == 0);
  const size_t n = std::min<size_t>(l.branches.size(), size_t{vorel::kMaxBranchNumber} + 1);
  if (lb.arcs.size() < n) lb.arcs.resize(n);
  for (size_t i = 0; i < n; ++i) {
    if (!ran) continue;
    if (!add_count(&lb.arcs[i].count, l.branches[i].count)) return false;
    lb.arcs[i].ran = true;
  }
  return true;
}

bool ProgramBuilder::add(const GcovUnit& unit, std::string* error) {
  ++units_;
  const std::string& cwd = unit.current_working_directory;
  std::string module_name = absolute_name(cwd, unit.data_file.empty() ? "unit" : unit.data_file);
  auto [m, new_module] = module_index_.emplace(module_name, modules_.size());
  if (new_module) modules_.push_back(module_name);
  const size_t module = m->second;

  for (const GcovFile& gf : unit.files) {
    std::string name = absolute_name(cwd, gf.name);
    auto [it, new_file] = files_.try_emplace(name);
    FileData& file = it->second;
    if (new_file) {
      file.first_module = module;
      file_order_.push_back(name);
    }
    for (const GcovFunction& f : gf.functions) {
      RoutineData& r = routine_of(file, f.name, module);
      if (r.start_line == 0) {
        r.start_line = f.start_line;
        r.start_column = std::min(f.start_column, kMaxColumn);
        r.end_line = f.end_line;
        r.end_column = std::min(f.end_column, kMaxColumn);
      }
      if (!add_count(&r.execution_count, f.execution_count)) {
        *error = "execution count of " + f.name + " does not fit 64 bits when summed";
        return false;
      }
    }
    // Routines named by lines, looked up once per distinct name. Indices, not
    // pointers: a name that no function entry has adds a routine, which may
    // move the others.
    constexpr size_t kUnknown = SIZE_MAX;
    std::vector<size_t> by_function(gf.line_functions.size(), kUnknown);
    for (const GcovLine& l : gf.lines) {
      if (!add_count(&file.line_totals[l.line_number], l.count)) {
        *error = "count of " + name + ":" + std::to_string(l.line_number) + " does not fit 64 bits when summed";
        return false;
      }
      if (!add_branches(file, l)) {
        *error = "a branch count of " + name + ":" + std::to_string(l.line_number) + " does not fit 64 bits when summed";
        return false;
      }
      if (l.function == kNoFunction || l.function >= by_function.size()) {
        file.unattributed.push_back(l.line_number);
        continue;
      }
      size_t& r = by_function[l.function];
      if (r == kUnknown) {
        routine_of(file, gf.line_functions[l.function], module);
        r = file.routine_index.at(gf.line_functions[l.function]);
      }
      file.routines[r].second.lines.push_back(l.line_number);
    }
  }
  return true;
}

namespace {

struct Placed {
  std::string name;
  size_t module = 0;
  pw::Routine routine;
};

// The lines whose branches and partial mark a routine carries.
using OwnedLines = std::vector<uint32_t>;

// One routine: an entry block with the call count (no lines), then one
// block per line with the line's total, then for its owned lines a block
// with count 0 on each partly executed line and one block per branch arc.
template <class Branches>
pw::Routine make_routine(const std::string& name, uint32_t start_line, uint32_t start_col, uint32_t end_line,
                         uint32_t end_col, uint64_t calls, const std::vector<uint32_t>& lines,
                         const std::unordered_map<uint32_t, uint64_t>& totals, const OwnedLines& owned,
                         const Branches& branches) {
  pw::Routine r;
  r.name = name;
  r.start_line = start_line ? start_line : lines.front();
  r.start_col = start_col;
  r.end_line = end_line ? end_line : lines.back();
  r.end_col = end_col;
  r.is_static = name.compare(0, 3, "_ZL") == 0;
  r.external = !r.is_static;
  pw::Block entry;
  entry.count = calls;
  entry.line = lines.front();
  entry.col = 1;
  r.blocks.reserve(lines.size() + 1);
  r.blocks.push_back(entry);
  for (uint32_t line : lines) {
    pw::Block b;
    b.count = totals.at(line);
    b.line = line;
    b.col = 1;
    b.lines = {line};
    r.blocks.push_back(std::move(b));
  }
  for (uint32_t line : owned) {
    const auto& lb = branches.at(line);
    bool partial = lb.unexecuted_block;
    for (const auto& arc : lb.arcs) partial = partial || arc.count == 0;
    if (!partial || totals.at(line) == 0) continue;
    pw::Block b;
    b.line = line;
    b.col = 1;
    b.lines = {line};
    r.blocks.push_back(std::move(b));
  }
  for (uint32_t line : owned) {
    const auto& arcs = branches.at(line).arcs;
    for (size_t i = 0; i < arcs.size(); ++i) {
      pw::Block b;  // position line 0: no block figure counts it
      b.count = arcs[i].count;
      b.map_first = line;
      b.map_value = vorel::branch_kept_value(static_cast<uint32_t>(i), !arcs[i].ran);
      r.blocks.push_back(std::move(b));
      ++r.extra_blocks;
    }
  }
  return r;
}

}  // namespace

pw::Program ProgramBuilder::finish(uint32_t runs, ImportSummary* summary) const {
  *summary = ImportSummary{};
  summary->units = units_;
  pw::Program program;
  program.runs = runs;
  program.header_string = "vorelcov-import-gcov";
  // Per module, its source files in first-appearance order.
  std::vector<std::vector<pw::SourceFile>> module_files(modules_.size());
  for (const std::string& name : file_order_) {
    const FileData& file = files_.at(name);
    ++summary->files;
    summary->lines += file.line_totals.size();
    std::vector<std::pair<std::string, RoutineData>> routines = file.routines;
    for (auto& [rname, r] : routines) {
      std::sort(r.lines.begin(), r.lines.end());
      r.lines.erase(std::unique(r.lines.begin(), r.lines.end()), r.lines.end());
    }
    // Lines of no function: into the innermost function whose extent holds
    // them, else into the file's outside-functions routine.
    RoutineData outside;
    outside.module = file.first_module;
    for (uint32_t line : file.unattributed) {
      RoutineData* best = nullptr;
      for (auto& [rname, r] : routines)
        if (r.start_line <= line && line <= r.end_line && (!best || r.start_line > best->start_line)) best = &r;
      RoutineData& home = best ? *best : outside;
      auto at = std::lower_bound(home.lines.begin(), home.lines.end(), line);
      if (at == home.lines.end() || *at != line) home.lines.insert(at, line);
    }
    if (!outside.lines.empty()) {
      for (uint32_t line : outside.lines) outside.execution_count = std::max(outside.execution_count, file.line_totals.at(line));
      routines.emplace_back(kOutsideFunctions, outside);
    }
    // Group the file's routines by the module that owns them. A line's
    // branches go to the first routine that holds it.
    std::unordered_set<uint32_t> placed;
    std::map<size_t, std::vector<pw::Routine>> by_module;
    for (const auto& [rname, r] : routines) {
      if (r.lines.empty()) {
        ++summary->routines_without_lines;
        continue;
      }
      OwnedLines owned;
      if (!file.branches.empty())
        for (uint32_t line : r.lines)
          if (file.branches.count(line) && placed.insert(line).second) owned.push_back(line);
      by_module[r.module].push_back(make_routine(rname, r.start_line, r.start_column, r.end_line, r.end_column,
                                                 r.execution_count, r.lines, file.line_totals, owned,
                                                 file.branches));
      ++summary->routines;
    }
    for (auto& [module, list] : by_module) module_files[module].push_back(pw::SourceFile{"", name, std::move(list)});
  }
  for (size_t m = 0; m < modules_.size(); ++m)
    program.modules.push_back(pw::Module{"", modules_[m], std::move(module_files[m])});
  return program;
}

}  // namespace import_gcov
