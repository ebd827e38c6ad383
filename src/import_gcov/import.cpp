#include "import_gcov/import.h"

#include <set>

#include "import_gcov/gunzip.h"
#include "platform/whole_file.h"

namespace import_gcov {

namespace {

bool ends_with(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool parse_gcov_bytes(std::string_view bytes, GcovUnit* out, std::string* error) {
  if (!looks_gzipped(bytes)) return parse_gcov_json(bytes, out, error);
  std::string text;
  if (!gunzip(bytes, &text, error, kMaxJsonBytes)) return false;
  return parse_gcov_json(text, out, error);
}

bool expand_inputs(const std::vector<std::string>& args, std::vector<std::string>* files, std::string* error) {
  std::set<std::string> seen;
  for (const std::string& arg : args) {
    if (!vorel::is_directory(arg)) {
      if (seen.insert(arg).second) files->push_back(arg);
      continue;
    }
    std::vector<std::string> found;
    std::string reason;
    if (!vorel::list_files_recursively(arg, &found, &reason)) {
      *error = arg + ": " + reason;
      return false;
    }
    bool any = false;
    for (const std::string& f : found) {
      if (!ends_with(f, ".gcov.json.gz") && !ends_with(f, ".gcov.json")) continue;
      any = true;
      if (seen.insert(f).second) files->push_back(f);
    }
    if (!any) {
      *error = arg + ": no *.gcov.json.gz or *.gcov.json files in this directory";
      return false;
    }
  }
  return true;
}

}  // namespace import_gcov
