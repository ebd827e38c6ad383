#include "import_gcov/program_builder.h"

#include <algorithm>
#include <queue>
#include <unordered_set>
#include <utility>

#include "import_gcov/count_sum.h"
#include "profile/branch_tag.h"

namespace import_gcov {

namespace pw = profile_writer;

namespace {

// Sorts by line and sums the counts of equal lines (each sum is at most the
// line's total, which add() checked).
void merge_lines(LineCounts& lines) {
  std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  size_t out = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (out > 0 && lines[out - 1].first == lines[i].first)
      lines[out - 1].second += lines[i].second;
    else
      lines[out++] = lines[i];
  }
  lines.resize(out);
}

}  // namespace

std::string normal_path(const std::string& path) {
  if (path.empty()) return path;
  const bool absolute = path[0] == '/';
  std::vector<std::string> parts;
  size_t kept_up = 0;  // leading ".." of a relative path
  for (size_t at = 0; at <= path.size();) {
    size_t end = path.find('/', at);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(at, end - at);
    at = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.size() > kept_up) parts.pop_back();
      else if (!absolute) parts.push_back(part), ++kept_up;
      continue;
    }
    parts.push_back(std::move(part));
  }
  std::string out = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out.empty() ? "." : out;
}

std::string absolute_name(const std::string& cwd, const std::string& name) {
  if (name.empty()) return name;
  if (name[0] == '/' || cwd.empty()) return normal_path(name);
  return normal_path(cwd + "/" + name);
}

std::vector<size_t> innermost_extents(const std::vector<std::pair<uint32_t, uint32_t>>& extents,
                                      const std::vector<uint32_t>& lines) {
  std::vector<size_t> order(extents.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return extents[a].first != extents[b].first ? extents[a].first < extents[b].first : a < b;
  });
  // The open extents, latest start on top (the first listed among equal
  // starts). One that ends before a line ends before every later line too.
  auto later = [&](size_t a, size_t b) {
    return extents[a].first != extents[b].first ? extents[a].first < extents[b].first : a > b;
  };
  std::priority_queue<size_t, std::vector<size_t>, decltype(later)> open(later);
  std::vector<size_t> home(lines.size(), SIZE_MAX);
  size_t next = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const uint32_t line = lines[i];
    for (; next < order.size() && extents[order[next]].first <= line; ++next) open.push(order[next]);
    while (!open.empty() && extents[open.top()].second < line) open.pop();
    if (!open.empty()) home[i] = open.top();
  }
  return home;
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
      // The line's total bounds every per-function sum of it.
      if (!add_count(&file.line_totals[l.line_number], l.count)) {
        *error = "count of " + name + ":" + std::to_string(l.line_number) + " does not fit 64 bits when summed";
        return false;
      }
      if (!add_branches(file, l)) {
        *error = "a branch count of " + name + ":" + std::to_string(l.line_number) + " does not fit 64 bits when summed";
        return false;
      }
      if (l.function == kNoFunction || l.function >= by_function.size()) {
        file.unattributed.emplace_back(l.line_number, l.count);
        continue;
      }
      size_t& r = by_function[l.function];
      if (r == kUnknown) {
        routine_of(file, gf.line_functions[l.function], module);
        r = file.routine_index.at(gf.line_functions[l.function]);
      }
      file.routines[r].second.lines.emplace_back(l.line_number, l.count);
    }
  }
  return true;
}

namespace {

// The lines whose branches and partial mark a routine carries.
using OwnedLines = std::vector<uint32_t>;

// One routine: an entry block with the call count and no position (so it
// adds to no line's figure; counted as the routine's one extra block), then
// one block per line with the routine's own count for it, then for its owned
// lines a block with count 0 on each partly executed line and one block per
// branch arc.
template <class Branches>
pw::Routine make_routine(const std::string& name, uint32_t start_line, uint32_t start_col, uint32_t end_line,
                         uint32_t end_col, uint64_t calls, const LineCounts& lines,
                         const std::unordered_map<uint32_t, uint64_t>& totals, const OwnedLines& owned,
                         const Branches& branches) {
  pw::Routine r;
  r.name = name;
  r.start_line = start_line ? start_line : lines.front().first;
  r.start_col = start_col;
  r.end_line = end_line ? end_line : lines.back().first;
  r.end_col = end_col;
  r.is_static = name.compare(0, 3, "_ZL") == 0;
  r.external = !r.is_static;
  r.extra_blocks = 1;
  r.blocks.reserve(lines.size() + 1);
  r.blocks.push_back(pw::Block{});
  r.blocks.back().count = calls;
  for (const auto& [line, count] : lines) {
    pw::Block b;
    b.count = count;
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
    // Lines of no function: into the innermost function whose extent holds
    // them, else into the file's line holder.
    RoutineData outside;
    outside.module = file.first_module;
    if (!file.unattributed.empty()) {
      LineCounts loose = file.unattributed;
      merge_lines(loose);
      std::vector<std::pair<uint32_t, uint32_t>> extents;
      extents.reserve(routines.size());
      for (const auto& [rname, r] : routines) extents.emplace_back(r.start_line, r.end_line);
      std::vector<uint32_t> numbers;
      numbers.reserve(loose.size());
      for (const auto& [line, count] : loose) numbers.push_back(line);
      std::vector<size_t> home = innermost_extents(extents, numbers);
      // A function that never ran is no home: its instance would count as run.
      for (size_t i = 0; i < loose.size(); ++i) {
        const bool housed = home[i] != SIZE_MAX && routines[home[i]].second.execution_count > 0;
        (housed ? routines[home[i]].second : outside).lines.push_back(loose[i]);
      }
    }
    for (auto& [rname, r] : routines) {
      merge_lines(r.lines);
      // Counts gcov gives a function it says was never called go to the line
      // holder, so the line keeps its count and the function stays not run.
      if (r.execution_count == 0)
        for (auto& [line, count] : r.lines)
          if (count > 0) outside.lines.emplace_back(line, std::exchange(count, 0));
    }
    if (!outside.lines.empty()) {
      merge_lines(outside.lines);
      for (const auto& [line, count] : outside.lines) outside.execution_count = std::max(outside.execution_count, count);
      routines.emplace_back(kOutsideFunctions, outside);
    }
    // A line's branches go to the first routine that holds it and ran (a
    // routine that did not run counts none of its blocks), else to the first
    // that holds it.
    std::vector<OwnedLines> owned(routines.size());
    if (!file.branches.empty()) {
      std::unordered_set<uint32_t> placed;
      for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < routines.size(); ++i) {
          const RoutineData& r = routines[i].second;
          if ((pass == 0) != (r.execution_count > 0)) continue;
          for (const auto& [line, count] : r.lines)
            if (file.branches.count(line) && placed.insert(line).second) owned[i].push_back(line);
        }
    }
    // Group the file's routines by the module that owns them.
    std::map<size_t, std::vector<pw::Routine>> by_module;
    for (size_t i = 0; i < routines.size(); ++i) {
      const auto& [rname, r] = routines[i];
      if (r.lines.empty()) {
        ++summary->routines_without_lines;
        continue;
      }
      by_module[r.module].push_back(make_routine(rname, r.start_line, r.start_column, r.end_line, r.end_column,
                                                 r.execution_count, r.lines, file.line_totals, owned[i],
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
