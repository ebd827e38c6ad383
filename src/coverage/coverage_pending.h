// Stand-ins for the coverage subsystem that the run driver calls until the
// real parts land: the component file and markers, the component list, the
// per-file computation and the file lists. Each one prints
// "not implemented yet: <what>" on stderr and ends the run with status 1,
// so that no run ever reports a silent success.
#pragma once

#include <cstdio>
#include <string>

namespace vorel {

struct Settings;
struct spi_file;
struct dpi_file;

namespace pending {

struct MarkerScanner;

// Reads the component file named by the settings (none when absent).
void read_component_file(const Settings& settings);
// The marker consistency check; false after printing a conflict.
bool markers_consistent(const Settings& settings);

// Builds, filters, sorts and de-duplicates the component list; returns its
// length N.
int build_component_list(spi_file* spi, const Settings& settings);
// The source file name of list entry `index` (0-based).
const std::string& component_file_name(int index);
// Orders the routines of the file group starting at `first` by start line.
void order_file_routines(int first);

// The marker scanner of one source file (nullptr: the file is processed
// without one).
MarkerScanner* make_marker_scanner(const std::string& file_name, const Settings& settings);
void destroy_marker_scanner(MarkerScanner* scanner);

// Computes the coverage of the file group starting at `first`; fills the
// full block lists when they are open. False: nothing to write for the file.
bool compute_file(int first, MarkerScanner* scanner, bool line_coverage, dpi_file* dpi,
                  dpi_file* ref, std::FILE* txt_block_list_full, std::FILE* xml_block_list_full,
                  const Settings& settings);
// Frees the position table and function tables of the file just written.
void reset_file_state();

// Number of files whose flags match `mask` (4 covered, 2 uncovered); -1 on
// failure (the message has been printed).
int file_count(int mask);
// Merge mode of the coverage list (0: the non-merging form of adding a block).
void set_merge_mode(int mode);

}  // namespace pending
}  // namespace vorel
