// The function tables of the file being processed.
//
// Every counted routine of a file is added once. Outside -ref a routine with
// at least one covered block goes to the covered (front) list, any other to
// the uncovered (back) list. With -ref a newly covered routine goes to the
// back list, a covered one that also ran in the reference to the front list,
// and the rest is not stored. The front list reads in order of addition, the
// back list in reverse order of addition. Ambiguous routines (same start line
// and readable name as another) are entered once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorel {

struct FunctionInfo {
  std::string readable_name;
  std::string proc_name;
  uint32_t start_line = 0;
  uint32_t blocks = 0;
  uint32_t covered_blocks = 0;
  double block_percent = 0;
  uint32_t lines = 0;
  uint32_t covered_lines = 0;
  double line_percent = 0;
};

// What the per-file computation hands over for one routine.
struct FunctionAdd {
  std::string readable_name;
  std::string proc_name;
  bool ambiguous = false;
  uint32_t start_line = 0;
  uint32_t blocks = 0;
  uint32_t covered_blocks = 0;
  uint32_t lines = 0;
  uint32_t covered_lines = 0;
  bool newly_covered = false;
};

class FunctionTables {
 public:
  // Opens the tables for a file group of `slots` entries (at least one).
  void open(size_t slots);
  // Adds a routine by the placement rules; `differential` is -ref.
  void add(const FunctionAdd& routine, bool differential);
  // Counts a routine that is left out of the tables.
  void count_seen() { ++seen_; }
  // Frees everything (between files).
  void reset();

  // Front list in addition order; back list in reading order (last added first).
  std::vector<const FunctionInfo*> covered() const;
  std::vector<const FunctionInfo*> uncovered() const;
  uint32_t covered_count() const { return static_cast<uint32_t>(front_.size()); }
  uint32_t uncovered_count() const { return static_cast<uint32_t>(back_.size()); }
  uint32_t seen_count() const { return seen_; }

 private:
  bool in_front(const FunctionAdd& r) const;
  // Index into back_ (addition order) of the entry found first in reading order.
  std::ptrdiff_t find_back(const FunctionAdd& r) const;
  void remove_back(std::ptrdiff_t index);
  void check_regions() const;

  size_t slots_ = 1;
  std::vector<std::unique_ptr<FunctionInfo>> front_;  // addition order
  std::vector<std::unique_ptr<FunctionInfo>> back_;   // addition order; read reversed
  uint32_t seen_ = 0;
};

}  // namespace vorel
