// The coverage list: the file entries of the run and the position table of
// the file being processed.
//
// File entries accumulate over the run in processing order; each carries the
// file's totals and its covered/uncovered flags. The position table
// (`FileListNode`) exists for one file at a time: the position records of each
// source line, each record summing the blocks that start at one (line,
// column). The all-ones count (kNeverExecuted) marks the start of a
// routine that never executed.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vorel {

struct PositionRecord {
  uint32_t line = 0;
  uint32_t column = 0;
  uint64_t count = 0;        // summed count; kNeverExecuted: routine never ran
  uint32_t blocks = 0;       // blocks added here
  uint32_t covered = 0;      // blocks added with a non-zero count
  uint32_t uncovered = 0;    // blocks added with count 0
  bool last_block = false;   // the line after a routine's end
  bool is_new = false;       // -ref: OR of the blocks' newly-covered flags
  uint32_t routine = 0;      // non-merging form: the routine that added it
};

// Flags of a file entry.
enum FileFlag : uint32_t {
  kFileReadable = 1,    // the source could be opened when the entry was added
  kFileUncovered = 2,   // processed, nothing covered (-ref: every routine new)
  kFileCovered = 4,     // processed, something covered (-ref: new coverage)
};

struct FileEntry {
  std::string name;
  std::string report_name;
  uint32_t functions = 0;
  uint32_t covered_functions = 0;
  uint32_t blocks = 0;
  uint32_t covered_blocks = 0;
  uint32_t lines = 0;            // line-coverage mode only
  uint32_t covered_lines = 0;
  double line_percent = 0;
  uint32_t flags = 0;
  double function_percent = 0;
  double block_percent = 0;
};

// part * 100 / whole, 0 when whole is 0.
double percent_of(uint64_t part, uint64_t whole);

// The position table of one source file: one small slot per line (0..B)
// and one pool holding every line's records contiguously. A line whose
// space is full moves to the end of the pool with twice the space (or grows
// in place when it already ends the pool); the space it leaves stays unused,
// as the table lives for one file. A line that would pass UINT32_MAX records
// or a pool that cannot grow ends the run as an allocation failure.
class FileListNode {
 public:
  // `source_path` is where the source is read; empty: `name` itself.
  FileListNode(std::string name, std::string report_name, uint32_t line_count,
               std::string source_path = {});
  const std::string& name() const { return name_; }
  const std::string& source_path() const { return source_path_.empty() ? name_ : source_path_; }
  const std::string& report_name() const { return report_name_; }
  uint32_t bound() const { return bound_; }  // B = lines + 1

  // The records of `line` (<= B) in table order; valid until the next insert.
  std::span<PositionRecord> records(uint32_t line);
  std::span<const PositionRecord> records(uint32_t line) const;
  // Inserts `record` at `index` (<= the line's size) of `line`'s records and
  // returns it in place.
  PositionRecord& insert(uint32_t line, uint32_t index, const PositionRecord& record);

 private:
  struct Slot {
    uint32_t offset = 0;    // first record in the pool
    uint32_t size = 0;
    uint32_t capacity = 0;  // space reserved at offset
  };
  void grow(Slot& slot);

  std::string name_;
  std::string report_name_;
  std::string source_path_;
  uint32_t bound_;
  std::vector<Slot> slots_;           // indices 0..B
  std::vector<PositionRecord> pool_;
};

// Answer of the line query.
struct LineInfo {
  // The line's count: per routine the largest count of its records, summed
  // over the routines (what ran on the line, whichever routine ran it); a
  // line whose only figures are "never ran" marks keeps the mark.
  uint64_t max_count = 0;
  uint32_t blocks = 0;      // records on the line
  uint32_t covered = 0;     // records whose count is neither 0 nor all-ones
  std::span<const PositionRecord> chain;
};

// The count of a line whose records `chain` several routines added: per
// routine its largest count, summed (saturating below the all-ones mark);
// the all-ones mark when no routine has a count but some never ran.
uint64_t summed_line_count(std::span<const PositionRecord> chain);

// Counts the lines of a file as the position table does (newlines, plus one
// for an unterminated last line); nullopt when it cannot be opened.
std::optional<uint32_t> count_source_lines(const std::string& path);

class CoverageList {
 public:
  // Merging form (true, the default) or the non-merging form of -txtlcov.
  void set_merge_mode(bool merging) { merge_mode_ = merging; }
  bool merge_mode() const { return merge_mode_; }
  // Starts the next routine: the non-merging form tags its records with it.
  void begin_routine() { ++routine_; }

  // Adds a file entry unless one with this name exists; it becomes the
  // current entry either way. `path` is where the source is read (empty:
  // `name` itself), here and in set_name.
  bool add_filename(const std::string& name, const std::string& report_name,
                    const std::string& path = {});
  // Makes the position table for `name`; prints "\nWarning - File %s not
  // found!\n" (with the path) on stdout and returns false when the source
  // cannot be opened.
  bool set_name(const std::string& name, const std::string& report_name,
                const std::string& path = {});
  // Adds one block at (line, column). `out`, when given, receives the
  // position's uncovered counter when the position has a covered block,
  // else nullptr (merging form only). The counter lives in the table's pool:
  // use it at once, before the next block is added.
  bool add_block_count(uint32_t line, uint32_t column, uint64_t count, bool is_new,
                      uint32_t** out);
  bool is_position_covered(uint32_t line) const;
  bool mark_last_block(uint32_t line);

  // The record at exactly (line, column), or nullptr. Pointers and spans
  // into the table are valid until the next block or mark is added.
  const PositionRecord* position(uint32_t line, uint32_t column) const;
  // The records of line `line` in table order (empty past the table); the
  // first record of a column is the one `position` returns.
  std::span<const PositionRecord> records_on(uint32_t line) const;
  // Line query: nullopt for a line >= B (or without a table).
  std::optional<LineInfo> line_query(uint32_t line) const;

  // File entries whose flags share a bit with `mask`, in list order.
  std::vector<const FileEntry*> get_filenames(uint32_t mask) const;
  const std::deque<FileEntry>& entries() const { return entries_; }
  FileEntry* current_entry() { return current_entry_; }
  const FileEntry* current_entry() const { return current_entry_; }
  const FileListNode* current_node() const { return node_.get(); }

  // Frees the position table (between files).
  void reset_file();
  // Moves the position table into a new list that holds a copy of the
  // current entry as its only entry (for writing the file's output while
  // this list goes on to the next file).
  CoverageList take_file();

 private:
  FileListNode& require_node(const char* operation) const;

  bool merge_mode_ = true;
  uint32_t routine_ = 0;
  std::unique_ptr<FileListNode> node_;
  std::deque<FileEntry> entries_;
  std::map<std::string, size_t> by_name_;
  FileEntry* current_entry_ = nullptr;
};

}  // namespace vorel
