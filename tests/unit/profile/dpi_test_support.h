// Helpers for the dynamic profile reader tests: sample programs, opening and
// loading with diagnostics captured, text dumps for comparing layouts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "e2e/harness.h"
#include "profile/dpi.h"
#include "profile_writer/dpi_writer.h"
#include "profile_writer/program.h"

namespace dpi_test {

// Two files under root "/build/src/" with four routines; every count is
// exact as a 32-bit float, positions in mode 1: every layout can store it.
profile_writer::Program basic_program();
// One routine that uses every field of the segmented layout, one with packed
// positions (mode 2) and one without positions; 3 runs.
profile_writer::Program rich_program();

// A program with one file "a.c" (root "/r/") and the given routines.
profile_writer::Program one_file(std::vector<profile_writer::Routine> routines, uint32_t runs = 1);
// A routine whose blocks have the given counts, at lines 10, 11, ... column 3.
profile_writer::Routine routine(const std::string& name, std::vector<uint64_t> counts);

// The outcome of dpi_open or of loading every routine: stderr and the status
// of a fatal stop beside the result.
struct Opened {
  vorel::DpiFilePtr file;
  std::string err;
  std::optional<int> status;
};
Opened open_dpi(const std::string& path, const vorel::DpiOpenOptions& options = {});
Opened open_bytes(const e2e::TempDir& dir, const std::string& bytes,
                  const vorel::DpiOpenOptions& options = {});
struct Loaded {
  std::vector<std::unique_ptr<vorel::DpiRoutine>> routines;  // in index order
  std::string err;
  std::optional<int> status;
};
Loaded load_all(vorel::DpiFile* f);

// The catalog line as printed, e.g. "vorelcov: warning #11009: ".
std::string warning_prefix(int number);

// Every field as text (a routine's layout flag bits left out; `root_len`:
// the fixed layout stores none).
std::string dump_index(const vorel::DpiFile& f);
std::string dump_routine(const vorel::DpiRoutine& r, bool root_len = true);

}  // namespace dpi_test
