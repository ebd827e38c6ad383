// What the importer's arguments name: gcov JSON files to read as they are,
// and units of a build tree (a .gcno the compiler wrote, with the .gcda of
// the program's runs when it ran) for gcov to be run on.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace import_gcov {

// The units of one object directory that one gcov run reads (absolute
// paths of .gcda files, or of .gcno files for units that never ran).
struct GcovBatch {
  std::string object_directory;
  std::vector<std::string> files;
};

struct DiscoveredInputs {
  std::vector<std::string> json_files;  // in argument order, each once
  std::vector<GcovBatch> batches;       // object directories in sorted order
  size_t units_run = 0;                 // units with a .gcda
  size_t units_never_run = 0;           // units with only a .gcno, included
  size_t units_left_out = 0;            // the same, left out (--no-unexecuted)
  std::vector<std::string> notes;       // what was set aside, for the user
};

// Most units one gcov run reads: batches stay small enough for any command
// line and spread over several gcov processes.
inline constexpr size_t kMaxBatchFiles = 64;
inline constexpr size_t kMaxBatchBytes = 16000;

// Sorts the arguments: a directory stands for every .gcda and .gcno file
// below it (its gcov JSON files then stay aside: the build tree's own data
// is read instead) or, when it has none, every *.gcov.json.gz and
// *.gcov.json file below it; a .gcda or .gcno file is its unit; any other
// file is gcov JSON. Below a directory, CMake's compiler-identification
// probes (CMakeFiles/<version>/CompilerId*/) are not units of the project
// and are passed over. `unexecuted`: include units that never ran. False with
// `*error` naming the argument when a directory cannot be read or holds
// nothing to import.
bool discover_inputs(const std::vector<std::string>& args, bool unexecuted, DiscoveredInputs* out,
                     std::string* error);

}  // namespace import_gcov
