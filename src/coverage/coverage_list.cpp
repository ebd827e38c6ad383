#include "coverage/coverage_list.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <utility>

#include "coverage/position_state.h"
#include "base/diag.h"
#include "platform/file_open.h"

namespace vorel {

double percent_of(uint64_t part, uint64_t whole) {
  if (whole == 0) return 0.0;
  return static_cast<double>(part) * 100.0 / static_cast<double>(whole);
}

std::optional<uint32_t> count_source_lines(const std::string& path) {
  std::FILE* f = open_file(path, "rb");
  if (!f) return std::nullopt;
  uint64_t newlines = 0;
  int last = EOF;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    for (size_t i = 0; i < n; ++i)
      if (buf[i] == '\n') ++newlines;
    last = static_cast<unsigned char>(buf[n - 1]);
  }
  std::fclose(f);
  if (last != EOF && last != '\n') ++newlines;
  // Keep B = L + 1 representable; a longer file is not a source file.
  if (newlines >= UINT32_MAX - 1) newlines = UINT32_MAX - 2;
  return static_cast<uint32_t>(newlines);
}

namespace {

[[noreturn]] void out_of_memory(const std::string& name) {
  print_out("Error - Not enough memory!! (file_list_node::file_list_node): %s\n", name.c_str());
  fatal_exit(1);
}

}  // namespace

FileListNode::FileListNode(std::string name, std::string report_name, uint32_t line_count,
                           std::string source_path)
    : name_(std::move(name)),
      report_name_(std::move(report_name)),
      source_path_(std::move(source_path)),
      bound_(line_count + 1),
      slots_(static_cast<size_t>(bound_) + 1) {}

std::span<PositionRecord> FileListNode::records(uint32_t line) {
  const Slot& slot = slots_[line];
  return {pool_.data() + slot.offset, slot.size};
}

std::span<const PositionRecord> FileListNode::records(uint32_t line) const {
  const Slot& slot = slots_[line];
  return {pool_.data() + slot.offset, slot.size};
}

void FileListNode::grow(Slot& slot) {
  if (slot.capacity == UINT32_MAX) out_of_memory(name_);
  const uint32_t capacity =
      slot.capacity == 0 ? 1 : slot.capacity > UINT32_MAX / 2 ? UINT32_MAX : slot.capacity * 2;
  // A line that ends the pool grows in place; any other moves to the end.
  const size_t end = pool_.size();
  const bool in_place = static_cast<size_t>(slot.offset) + slot.capacity == end;
  const size_t start = in_place ? slot.offset : end;
  if (start + capacity > UINT32_MAX) out_of_memory(name_);  // offsets are 32-bit
  try {
    pool_.resize(start + capacity);
  } catch (const std::bad_alloc&) {
    out_of_memory(name_);
  }
  if (!in_place)
    std::copy_n(pool_.begin() + slot.offset, slot.size, pool_.begin() + static_cast<ptrdiff_t>(start));
  slot.offset = static_cast<uint32_t>(start);
  slot.capacity = capacity;
}

PositionRecord& FileListNode::insert(uint32_t line, uint32_t index, const PositionRecord& record) {
  Slot& slot = slots_[line];
  if (slot.size == slot.capacity) grow(slot);
  PositionRecord* first = pool_.data() + slot.offset;
  std::move_backward(first + index, first + slot.size, first + slot.size + 1);
  first[index] = record;
  ++slot.size;
  return first[index];
}

bool CoverageList::add_filename(const std::string& name, const std::string& report_name,
                                const std::string& path) {
  auto found = by_name_.find(name);
  if (found != by_name_.end()) {
    current_entry_ = &entries_[found->second];
    return true;
  }
  FileEntry entry;
  entry.name = name;
  entry.report_name = report_name;
  if (std::FILE* f = open_file(path.empty() ? name : path, "r")) {
    entry.flags = kFileReadable;
    std::fclose(f);
  }
  entries_.push_back(std::move(entry));
  by_name_.emplace(name, entries_.size() - 1);
  current_entry_ = &entries_.back();
  return true;
}

bool CoverageList::set_name(const std::string& name, const std::string& report_name,
                            const std::string& path) {
  if (node_) return true;
  const std::string& source = path.empty() ? name : path;
  std::optional<uint32_t> lines = count_source_lines(source);
  if (!lines) {
    print_out("\nWarning - File %s not found!\n", source.c_str());
    // A source that is there but is no regular file (a device, a FIFO)
    // says why; reading it could block or never end.
    if (!last_open_failure().missing)
      print_err("vorelcov: %s: %s\n", source.c_str(), last_open_failure().reason.c_str());
    return false;
  }
  try {
    node_ = std::make_unique<FileListNode>(name, report_name, *lines, path);
  } catch (const std::bad_alloc&) {
    out_of_memory(name);
  }
  return true;
}

FileListNode& CoverageList::require_node(const char* operation) const {
  if (!node_) {
    print_err("ERROR: %s is not properly initialized!\n", operation);
    fatal_exit(1);
  }
  return *node_;
}

namespace {

PositionRecord& find_or_append(FileListNode& node, uint32_t line, uint32_t column) {
  std::span<PositionRecord> records = node.records(line);
  for (PositionRecord& r : records)
    if (r.line == line && r.column == column) return r;
  PositionRecord fresh;
  fresh.line = line;
  fresh.column = column;
  return node.insert(line, static_cast<uint32_t>(records.size()), fresh);
}

void merge_count(PositionRecord& r, uint64_t count) {
  if (count != kNeverExecuted)
    r.count = r.count == kNeverExecuted ? count : r.count + count;
  else if (r.count == 0)
    r.count = kNeverExecuted;
}

}  // namespace

bool CoverageList::add_block_count(uint32_t line, uint32_t column, uint64_t count, bool is_new,
                                   uint32_t** out) {
  FileListNode& node = require_node("bAddBlockCount");
  if (out) *out = nullptr;
  if (line > node.bound()) {
    line = 1;
    column = 1;
  }
  if (line == 0) return true;
  if (!merge_mode_) {
    PositionRecord fresh;
    fresh.line = line;
    fresh.column = column;
    fresh.count = count;
    fresh.blocks = 1;
    fresh.covered = count != 0 ? 1 : 0;
    fresh.uncovered = count != 0 ? 0 : 1;
    fresh.is_new = is_new;
    fresh.routine = routine_;
    std::span<const PositionRecord> records = node.records(line);
    uint32_t at = 0;
    while (at < records.size() && records[at].column < column) ++at;
    node.insert(line, at, fresh);
    return true;
  }
  PositionRecord& r = find_or_append(node, line, column);
  merge_count(r, count);
  r.is_new = r.is_new || is_new;
  ++r.blocks;
  if (count != 0)
    ++r.covered;
  else
    ++r.uncovered;
  if (out) *out = r.covered > 0 ? &r.uncovered : nullptr;
  return true;
}

bool CoverageList::is_position_covered(uint32_t line) const {
  const FileListNode& node = require_node("bIsPositionCovered");
  if (line == 0 || line > node.bound()) return true;
  for (const PositionRecord& r : node.records(line))
    if (r.column == 1 && r.count != 0 && r.count != kNeverExecuted) return true;
  return false;
}

bool CoverageList::mark_last_block(uint32_t line) {
  FileListNode& node = require_node("bMarkLastBlock");
  if (line > node.bound()) line = 1;
  std::span<PositionRecord> records = node.records(line);
  for (PositionRecord& r : records) {
    if (r.line == line && r.column == 1) {
      r.last_block = true;
      return true;
    }
  }
  PositionRecord mark;
  mark.line = line;
  mark.column = 1;
  mark.last_block = true;
  node.insert(line, static_cast<uint32_t>(records.size()), mark);
  return true;
}

const PositionRecord* CoverageList::position(uint32_t line, uint32_t column) const {
  if (!node_ || line > node_->bound()) return nullptr;
  for (const PositionRecord& r : std::as_const(*node_).records(line))
    if (r.line == line && r.column == column) return &r;
  return nullptr;
}

std::span<const PositionRecord> CoverageList::records_on(uint32_t line) const {
  if (!node_ || line > node_->bound()) return {};
  return std::as_const(*node_).records(line);
}

uint64_t summed_line_count(std::span<const PositionRecord> chain) {
  // Per routine its largest count; the chain is short, except on lines that
  // many routines share, so sort a copy only when routines differ.
  std::vector<std::pair<uint32_t, uint64_t>> by_routine;
  by_routine.reserve(chain.size());
  for (const PositionRecord& r : chain) by_routine.emplace_back(r.routine, r.count);
  std::sort(by_routine.begin(), by_routine.end());
  uint64_t sum = 0;
  bool never_ran = false;
  for (size_t i = 0; i < by_routine.size(); ++i) {
    if (i + 1 < by_routine.size() && by_routine[i + 1].first == by_routine[i].first) continue;
    const uint64_t most = by_routine[i].second;  // the routine's largest: sorted last
    if (most == kNeverExecuted) {
      never_ran = true;
      continue;
    }
    sum = most > kNeverExecuted - 1 - sum ? kNeverExecuted - 1 : sum + most;
  }
  return sum == 0 && never_ran ? kNeverExecuted : sum;
}

std::optional<LineInfo> CoverageList::line_query(uint32_t line) const {
  if (!node_ || line >= node_->bound()) return std::nullopt;
  LineInfo info;
  info.chain = std::as_const(*node_).records(line);
  bool one_routine = true;
  for (const PositionRecord& r : info.chain) {
    if (r.count > info.max_count) info.max_count = r.count;
    if (r.routine != info.chain.front().routine) one_routine = false;
    ++info.blocks;
    if (r.count != 0 && r.count != kNeverExecuted) ++info.covered;
  }
  if (!one_routine) info.max_count = summed_line_count(info.chain);
  return info;
}

std::vector<const FileEntry*> CoverageList::get_filenames(uint32_t mask) const {
  std::vector<const FileEntry*> out;
  for (const FileEntry& e : entries_)
    if (e.flags & mask) out.push_back(&e);
  return out;
}

void CoverageList::reset_file() { node_.reset(); }

CoverageList CoverageList::take_file() {
  CoverageList file;
  file.merge_mode_ = merge_mode_;
  file.node_ = std::move(node_);
  if (current_entry_) {
    file.entries_.push_back(*current_entry_);
    file.current_entry_ = &file.entries_.back();
  }
  return file;
}

}  // namespace vorel
