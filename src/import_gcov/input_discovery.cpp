#include "import_gcov/input_discovery.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string_view>

#include "platform/file_open.h"
#include "platform/whole_file.h"

namespace import_gcov {

namespace {

bool ends_with(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool is_json_name(const std::string& name) { return ends_with(name, ".gcov.json.gz") || ends_with(name, ".gcov.json"); }

struct UnitFiles {
  bool gcda = false, gcno = false;
};

// Units by their path without the extension; sorted, so batches and the
// order of the units are the same on every run.
using UnitMap = std::map<std::string, UnitFiles>;

// Adds `name` when it is a unit's file; false for any other name.
bool add_unit_file(const std::string& name, UnitMap* units) {
  bool gcda = ends_with(name, ".gcda");
  if (!gcda && !ends_with(name, ".gcno")) return false;
  UnitFiles& u = (*units)[vorel::absolute_path(name.substr(0, name.size() - 5))];
  (gcda ? u.gcda : u.gcno) = true;
  return true;
}

// CMake compiles a probe source with the project's flags to identify each
// compiler (CMakeFiles/<version>/CompilerIdC/...): with --coverage that
// leaves a .gcno that belongs to no program of the project.
bool is_cmake_compiler_probe(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  size_t cmake = path.find("/CMakeFiles/");
  return cmake != std::string::npos && path.find("/CompilerId", cmake) != std::string::npos;
}

std::string directory_of(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

void make_batches(const UnitMap& units, bool unexecuted, DiscoveredInputs* out) {
  GcovBatch* open = nullptr;
  size_t bytes = 0;
  for (const auto& [stem, files] : units) {
    if (!files.gcda) {
      if (!unexecuted) {
        ++out->units_left_out;
        continue;
      }
      ++out->units_never_run;
    } else {
      ++out->units_run;
    }
    // A unit that has a .gcda is read through it (gcov finds the .gcno
    // beside it, and says so when it is missing); one that never ran
    // through its .gcno, which gcov reads as a unit without counts.
    std::string file = stem + (files.gcda ? ".gcda" : ".gcno");
    std::string dir = directory_of(stem);
    if (!open || open->object_directory != dir || open->files.size() >= kMaxBatchFiles ||
        bytes + file.size() > kMaxBatchBytes) {
      out->batches.push_back(GcovBatch{dir, {}});
      open = &out->batches.back();
      bytes = 0;
    }
    bytes += file.size() + 1;
    open->files.push_back(std::move(file));
  }
}

const char* const kNothingBelow =
    ": nothing to import below this directory: no .gcno files (a build with `gcc --coverage` writes one "
    "beside each object file), no .gcda files (running the program built so writes them) and no "
    "*.gcov.json.gz or *.gcov.json files (`gcov --json-format` writes them)";

}  // namespace

bool discover_inputs(const std::vector<std::string>& args, bool unexecuted, DiscoveredInputs* out,
                     std::string* error) {
  UnitMap units;
  std::set<std::string> seen_json;
  for (const std::string& arg : args) {
    if (!vorel::is_directory(arg)) {
      if (!add_unit_file(arg, &units)) {
        if (seen_json.insert(arg).second) out->json_files.push_back(arg);
        continue;
      }
      std::FILE* probe = vorel::open_file(arg, "rb");
      if (!probe) {
        *error = arg + ": cannot read: " + std::strerror(errno);
        return false;
      }
      std::fclose(probe);
      continue;
    }
    std::vector<std::string> found;
    std::string reason;
    if (!vorel::list_files_recursively(arg, &found, &reason)) {
      *error = arg + ": " + reason;
      return false;
    }
    UnitMap here;
    std::vector<std::string> json;
    for (const std::string& f : found) {
      if (is_cmake_compiler_probe(f)) continue;
      if (!add_unit_file(f, &here) && is_json_name(f)) json.push_back(f);
    }
    if (here.empty() && json.empty()) {
      *error = arg + kNothingBelow;
      return false;
    }
    if (here.empty()) {
      for (const std::string& f : json)
        if (seen_json.insert(f).second) out->json_files.push_back(f);
      continue;
    }
    if (!json.empty())
      out->notes.push_back(arg + ": " + std::to_string(json.size()) +
                           " gcov JSON files below it left aside: gcov is run on its .gcda and .gcno files instead");
    bool ran = false;
    for (const auto& [stem, files] : here) {
      ran = ran || files.gcda;
      UnitFiles& u = units[stem];
      u.gcda = u.gcda || files.gcda;
      u.gcno = u.gcno || files.gcno;
    }
    if (!ran && !unexecuted) {
      *error = arg + ": no .gcda files below this directory (running the program built with `gcc --coverage` "
                     "writes them); " + std::to_string(here.size()) + " units that never ran are left out by --no-unexecuted";
      return false;
    }
  }
  make_batches(units, unexecuted, out);
  return true;
}

}  // namespace import_gcov
