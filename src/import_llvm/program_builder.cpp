#include "import_llvm/program_builder.h"

#include <algorithm>
#include <cctype>

#include "import_gcov/count_sum.h"
#include "import_gcov/program_builder.h"
#include "platform/whole_file.h"
#include "profile/branch_tag.h"
#include "profile/imported.h"
#include "profile/line_holder.h"

namespace import_llvm {

namespace pw = profile_writer;

namespace {

using import_gcov::add_count;
using import_gcov::kMaxColumn;

// llvm-cov names files as the compiler saw them, joined with its working
// directory; a name still relative is taken from the importer's. A Windows
// name (drive or server) is absolute on any host, kept as written like the
// gcov importer keeps its names, so that it meets the root in one form.
std::string file_name(const std::string& name) {
  const bool drive = name.size() > 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':' &&
                     (name[2] == '\\' || name[2] == '/');
  if (name.empty() || name[0] == '/' || name[0] == '\\' || drive) return import_gcov::normal_path(name);
  return import_gcov::normal_path(vorel::absolute_path(name));
}

// Appends the branches of expansion file `id` (nested expansions first) at
// `line`, the top-level expansion's line, as llvm-cov's lcov export collects
// them. Only the region `expanded_by` names for a file id is followed, and
// `depth` bounds a cycle of file ids, so bad input costs no more than that.
void expansion_branches(const LlvmFunction& f, const std::vector<int>& expanded_by, uint32_t id, uint32_t line,
                        size_t depth, std::vector<BranchPair>* out) {
  if (depth > f.filenames.size()) return;
  for (size_t i = 0; i < f.regions.size(); ++i)
    if (f.regions[i].kind == RegionKind::kExpansion && f.regions[i].file_id == id &&
        expanded_by[f.regions[i].expanded_file_id] == static_cast<int>(i))
      expansion_branches(f, expanded_by, f.regions[i].expanded_file_id, line, depth + 1, out);
  for (const LlvmBranch& b : f.branches)
    if (b.file_id == id) out->push_back(BranchPair{line, b.column_start, b.true_count, b.false_count, 0});
}

}  // namespace

std::vector<BranchPair> branch_order(std::vector<BranchPair> own, const std::vector<BranchPair>& expansions) {
  own.insert(own.end(), expansions.begin(), expansions.end());
  std::sort(own.begin(), own.end(), [](const BranchPair& a, const BranchPair& b) {
    return a.line != b.line ? a.line < b.line : a.column < b.column;
  });
  return own;
}

std::string routine_name(const std::string& llvm_name, bool* is_static) {
  *is_static = llvm_name.compare(0, 3, "_ZL") == 0;
  // Objective-C method names ("-[A b:]") hold colons of their own.
  if (llvm_name.empty() || llvm_name[0] == '-' || llvm_name[0] == '+') return llvm_name;
  const size_t cut = llvm_name.find_first_of(":;");
  if (cut == std::string::npos || cut + 1 >= llvm_name.size()) return llvm_name;
  *is_static = true;
  return llvm_name.substr(cut + 1);
}

ProgramBuilder::FileData& ProgramBuilder::file_of(const std::string& name, size_t module) {
  auto [it, added] = files_.try_emplace(name);
  if (added) {
    it->second.first_module = module;
    file_order_.push_back(name);
  }
  return it->second;
}

bool ProgramBuilder::add_function(const LlvmFunction& f, size_t module, const FileRules& rules, std::string* error) {
  if (f.regions.empty() || f.filenames.empty()) return true;
  // The function's file: the one no expansion region expands into.
  std::vector<int> expanded_by(f.filenames.size(), -1);
  for (size_t i = 0; i < f.regions.size(); ++i)
    if (f.regions[i].kind == RegionKind::kExpansion && f.regions[i].expanded_file_id != f.regions[i].file_id)
      expanded_by[f.regions[i].expanded_file_id] = static_cast<int>(i);
  uint32_t main_id = 0;
  while (main_id < f.filenames.size() && expanded_by[main_id] >= 0) ++main_id;
  if (main_id == f.filenames.size()) main_id = 0;
  const std::string file = file_name(f.filenames[main_id]);
  if (!rules.keeps(file)) return true;
  const import_gcov::ExclusionMarkers* markers = rules.markers ? rules.markers(file) : nullptr;

  RoutineData fresh;
  fresh.module = module;
  for (const LlvmRegion& r : f.regions) {
    if (r.kind != RegionKind::kCode) continue;
    RegionBlock b;
    b.count = r.count;
    b.line_start = r.line_start, b.column_start = r.column_start;
    b.line_end = r.line_end, b.column_end = r.column_end;
    b.own_file = r.file_id == main_id;
    // Inside a macro expansion: at the start of the expansion in the
    // function's file (the chain is followed at most once per file).
    uint32_t id = r.file_id;
    b.line = r.line_start, b.col = r.column_start;
    for (size_t hops = 0; id != main_id && expanded_by[id] >= 0 && hops < f.filenames.size(); ++hops) {
      const LlvmRegion& site = f.regions[expanded_by[id]];
      b.line = site.line_start, b.col = site.column_start;
      id = site.file_id;
    }
    if (id != main_id && f.filenames[r.file_id] == f.filenames[main_id]) {
      // An expansion clang recorded no site for (a macro named by another
      // macro's token pasting) in the function's own file: llvm-cov counts
      // the region where it stands, in its view of the file and its totals.
      b.own_file = true;
      b.line = r.line_start, b.col = r.column_start;
    } else if (id != main_id) {
      b.line = 0, b.col = 0;  // no site in the function's file
    }
    b.col = std::min(b.col, kMaxColumn);
    // A region of a macro expansion counts on the expansion's line only:
    // llvm-cov adds the counts of all expansions on the macro's own lines,
    // which no one routine's block can carry (the line holder does).
    if (!b.own_file && b.line) {
      b.own_file = true;
      b.line_start = b.line_end = b.line, b.column_start = b.col;
    }
    const bool excluded = markers && b.line && markers->excludes_line(b.line);
    if (fresh.blocks.empty()) {
      // A function whose body starts on an excluded line leaves the profile.
      if (excluded) return true;
      fresh.start_line = b.line, fresh.start_col = b.col;
      fresh.end_line = r.file_id == main_id ? r.line_end : b.line;
      fresh.end_col = std::min(r.file_id == main_id ? r.column_end : b.col, kMaxColumn);
    } else if (excluded) {
      continue;
    }
    fresh.blocks.push_back(b);
  }
  if (fresh.blocks.empty()) return true;
  for (const LlvmBranch& b : f.branches)
    if (b.file_id == main_id)
      fresh.own_branches.push_back(BranchPair{b.line_start, b.column_start, b.true_count, b.false_count, 0});
  for (size_t i = 0; i < f.regions.size(); ++i)
    if (f.regions[i].kind == RegionKind::kExpansion && f.regions[i].file_id == main_id &&
        expanded_by[f.regions[i].expanded_file_id] == static_cast<int>(i))
      expansion_branches(f, expanded_by, f.regions[i].expanded_file_id, f.regions[i].line_start, 1,
                         &fresh.expansion_branches);
  for (auto* list : {&fresh.own_branches, &fresh.expansion_branches})
    list->erase(std::remove_if(list->begin(), list->end(),
                               [&](const BranchPair& b) { return markers && markers->excludes_line(b.line); }),
                list->end());

  FileData& data = file_of(file, module);
  auto [it, added] = data.routine_index.emplace(f.name, data.routines.size());
  if (added) {
    data.routines.emplace_back(f.name, std::move(fresh));
    return true;
  }
  // The same function from another input: its regions must be the same.
  RoutineData& known = data.routines[it->second].second;
  if (known.blocks.size() != fresh.blocks.size() || known.own_branches.size() != fresh.own_branches.size() ||
      known.expansion_branches.size() != fresh.expansion_branches.size()) {
    *error = "function " + f.name + " has different regions in different inputs";
    return false;
  }
  bool fits = true;
  for (size_t i = 0; i < fresh.blocks.size(); ++i) fits = fits && add_count(&known.blocks[i].count, fresh.blocks[i].count);
  for (auto [mine, theirs] : {std::pair{&known.own_branches, &fresh.own_branches},
                              std::pair{&known.expansion_branches, &fresh.expansion_branches}})
    for (size_t i = 0; i < theirs->size(); ++i)
      fits = fits && add_count(&(*mine)[i].true_count, (*theirs)[i].true_count) &&
             add_count(&(*mine)[i].false_count, (*theirs)[i].false_count);
  if (!fits) *error = "count of a region of " + f.name + " does not fit 64 bits when summed";
  return fits;
}

bool ProgramBuilder::add(const LlvmExport& data, const std::string& input, const FileRules& rules,
                         std::string* error) {
  const size_t module = modules_.size();
  modules_.push_back(input);
  for (const LlvmFile& f : data.files) {
    const std::string name = file_name(f.filename);
    if (!rules.keeps(name)) continue;
    const import_gcov::ExclusionMarkers* markers = rules.markers ? rules.markers(name) : nullptr;
    FileData& file = file_of(name, module);
    const auto lines = mapped_lines(f.segments, f.newer_line_view);
    // Each segment stands for the lines up to the next: a bound on the
    // whole import keeps a few segments from asking for huge tables.
    mapped_total_ += lines.size();
    if (mapped_total_ > kMaxMappedLines) {
      *error = "more than " + std::to_string(kMaxMappedLines) + " executable lines in all (" + name + ")";
      return false;
    }
    for (const auto& [line, count] : lines) {
      if (markers && markers->excludes_line(line)) continue;
      if (!add_count(&file.lines[line], count)) {
        *error = "count of " + name + ":" + std::to_string(line) + " does not fit 64 bits when summed";
        return false;
      }
    }
  }
  for (const LlvmFunction& f : data.functions)
    if (!add_function(f, module, rules, error)) return false;
  return true;
}

namespace {

// A region as a candidate for lines: routine and block index, its range.
struct Candidate {
  uint32_t line_start, column_start, line_end;
  uint64_t count;
  size_t routine, block;
};

}  // namespace

pw::Program ProgramBuilder::finish(uint32_t runs, ImportSummary* summary) const {
  *summary = ImportSummary{};
  summary->inputs = modules_.size();
  pw::Program program;
  program.runs = runs;
  program.header_string = vorel::kImportedLlvmHeaderString;
  std::vector<std::vector<pw::SourceFile>> module_files(modules_.size());
  for (const std::string& name : file_order_) {
    const FileData& file = files_.at(name);
    ++summary->files;
    summary->lines += file.lines.size();
    // The routines as the writer takes them, block for block.
    std::vector<pw::Routine> routines;
    std::vector<size_t> modules;
    std::map<std::string, size_t> shown;  // display name -> uses
    for (const auto& [llvm_name, r] : file.routines) {
      pw::Routine out;
      out.name = routine_name(llvm_name, &out.is_static);
      if (shown[out.name]++ > 0) out.name = llvm_name, out.is_static = true;  // two statics of one name
      out.external = !out.is_static;
      out.start_line = r.start_line, out.start_col = r.start_col;
      out.end_line = std::max(r.end_line, r.start_line), out.end_col = r.end_col;
      for (const RegionBlock& b : r.blocks) {
        pw::Block block;
        block.count = b.count;
        block.line = b.line;
        block.col = b.col;
        out.blocks.push_back(std::move(block));
      }
      routines.push_back(std::move(out));
      modules.push_back(r.module);
    }
    // Each line's count goes to the regions on which llvm-cov counts it:
    // those that start on it and, per routine, the innermost one that runs
    // into it from an earlier line; none with a count above the line's.
    std::vector<Candidate> candidates;
    for (size_t ri = 0; ri < file.routines.size(); ++ri) {
      const auto& blocks = file.routines[ri].second.blocks;
      for (size_t bi = 0; bi < blocks.size(); ++bi)
        if (blocks[bi].own_file)
          candidates.push_back(Candidate{blocks[bi].line_start, blocks[bi].column_start, blocks[bi].line_end,
                                         blocks[bi].count, ri, bi});
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
      return a.line_start != b.line_start ? a.line_start < b.line_start : a.column_start < b.column_start;
    });
    std::vector<size_t> active;
    size_t next = 0;
    pw::Routine holder;
    std::map<size_t, size_t> innermost;  // routine -> candidate
    std::vector<size_t> chosen;
    for (const auto& entry : file.lines) {
      const uint32_t line = entry.first;  // a plain variable: lambdas capture it
      const uint64_t count = entry.second;
      for (; next < candidates.size() && candidates[next].line_start <= line; ++next) active.push_back(next);
      active.erase(std::remove_if(active.begin(), active.end(),
                                  [&](size_t c) { return candidates[c].line_end < line; }),
                   active.end());
      innermost.clear();
      chosen.clear();
      for (size_t c : active) {
        const Candidate& k = candidates[c];
        if (k.count > count) continue;
        if (k.line_start == line) chosen.push_back(c);
        else innermost[k.routine] = c;  // sorted by start: the latest start wins
      }
      for (const auto& [routine, c] : innermost) chosen.push_back(c);
      // A count no region gives (llvm-cov took it from a gap region that
      // runs into the line) goes to the line holder, so the line keeps it.
      std::map<size_t, uint64_t> largest;  // routine -> its largest block on the line
      for (size_t c : chosen) largest[candidates[c].routine] = std::max(largest[candidates[c].routine], candidates[c].count);
      uint64_t sum = 0;
      for (const auto& [routine, top] : largest) sum += top;
      if (sum < count) chosen.clear();
      if (chosen.empty()) {
        // No position: a block at line 0 enters no block figure, its line
        // map still counts the line.
        pw::Block b;
        b.count = count;
        b.lines = {line};
        holder.blocks.push_back(std::move(b));
        ++summary->lines_outside_blocks;
        continue;
      }
      for (size_t c : chosen) routines[candidates[c].routine].blocks[candidates[c].block].lines.push_back(line);
    }
    for (pw::Routine& r : routines)
      for (pw::Block& b : r.blocks) std::sort(b.lines.begin(), b.lines.end());
    // Each branch region: its true and false outcome, arcs 2k and 2k+1 of
    // the k-th region on its line in llvm-cov's order, in the routine it
    // belongs to; lcov writes "-" for both when neither ran.
    std::vector<BranchPair> own, expansions;
    for (size_t ri = 0; ri < file.routines.size(); ++ri)
      for (auto [from, to] : {std::pair{&file.routines[ri].second.own_branches, &own},
                              std::pair{&file.routines[ri].second.expansion_branches, &expansions}})
        for (BranchPair b : *from) {
          b.routine = ri;
          to->push_back(b);
        }
    uint32_t line = 0, number = 0;
    for (const BranchPair& b : branch_order(std::move(own), expansions)) {
      if (b.line != line) line = b.line, number = 0;
      const bool not_run = b.true_count == 0 && b.false_count == 0;
      for (uint64_t count : {b.true_count, b.false_count}) {
        if (number > vorel::kMaxBranchNumber) break;
        pw::Block arc;  // position line 0: no block figure counts it
        arc.count = count;
        arc.map_first = line;
        arc.map_value = vorel::branch_kept_value(number++, not_run, true);
        routines[b.routine].blocks.push_back(std::move(arc));
        ++routines[b.routine].extra_blocks;
      }
    }
    if (!holder.blocks.empty()) {
      holder.name = vorel::kLineHolderName;
      holder.start_line = holder.blocks.front().lines.front();
      holder.end_line = holder.blocks.back().lines.front();
      holder.is_static = true;
      holder.external = false;
      uint64_t top = 0;
      for (const pw::Block& b : holder.blocks) top = std::max(top, b.count);
      // Block 0 is the entry, with the largest count, no position, no lines.
      // Every block is extra and has no position: none is a region.
      pw::Block entry;
      entry.count = top;
      holder.blocks.insert(holder.blocks.begin(), std::move(entry));
      holder.extra_blocks = static_cast<uint32_t>(holder.blocks.size());
      routines.push_back(std::move(holder));
      modules.push_back(file.first_module);
    }
    std::map<size_t, std::vector<pw::Routine>> by_module;
    for (size_t i = 0; i < routines.size(); ++i) {
      for (const pw::Block& b : routines[i].blocks) summary->blocks += b.line != 0;
      by_module[modules[i]].push_back(std::move(routines[i]));
      ++summary->routines;
    }
    for (auto& [module, list] : by_module) module_files[module].push_back(pw::SourceFile{"", name, std::move(list)});
  }
  for (size_t m = 0; m < modules_.size(); ++m)
    program.modules.push_back(pw::Module{"", modules_[m], std::move(module_files[m])});
  return program;
}

}  // namespace import_llvm
