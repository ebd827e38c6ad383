// Helpers for the dynamic profile reader tests: sample programs, opening a
// file while capturing diagnostics and fatal stops, comparing loads.
#pragma once

#include <cstdint>
#include <functional>
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
// One routine that uses every field of the segmented layout.
profile_writer::Routine rich_routine();
profile_writer::Program rich_program();

// A program with one file "a.c" (root "/r/") and the given routines.
profile_writer::Program one_file(std::vector<profile_writer::Routine> routines, uint32_t runs = 1);
profile_writer::Routine routine(const std::string& name, std::vector<uint64_t> counts);

// The outcome of DPI_open: the file (or none), stderr, and the status of a
// fatal stop when the run ended.
struct Opened {
  vorel::dpi_file_ptr file;
  std::string err;
  std::optional<int> status;
};
Opened open_dpi(const std::string& path, const vorel::DpiOpenOptions& options = {});
Opened open_bytes(const e2e::TempDir& dir, const std::string& bytes,
                  const vorel::DpiOpenOptions& options = {});

// Loads every index entry fully; the status of a fatal stop, or nullopt.
struct Loaded {
  std::vector<std::unique_ptr<vorel::dpi_routine>> routines;  // in index order
  std::string err;
  std::optional<int> status;
};
Loaded load_all(vorel::dpi_file* f);

// Runs `fn` capturing stderr; `status` is set when it ended the run.
struct Captured {
  std::string err;
  std::optional<int> status;
};
Captured capture(const std::function<void()>& fn);

// The catalog line as printed, e.g. "vorelcov: warning #11009: ".
std::string warning_prefix(int number);
std::string error_prefix(int number);

// Little-endian patches of an image.
void patch32(std::string& bytes, uint64_t at, uint32_t v);
void patch64(std::string& bytes, uint64_t at, uint64_t v);
uint32_t get32(const std::string& bytes, uint64_t at);
uint64_t get64(const std::string& bytes, uint64_t at);
// A segment: tag, payload length, payload.
std::string segment(uint64_t tag, const std::string& payload);

// Field-by-field equality of index entries and routines (gtest assertions).
void expect_same_index(const vorel::dpi_file& a, const vorel::dpi_file& b);
// `ignore_root_len`: the fixed layout stores no root length.
void expect_same_routine(const vorel::dpi_routine& a, const vorel::dpi_routine& b,
                         bool ignore_root_len = false);

}  // namespace dpi_test
