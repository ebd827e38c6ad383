// Which source files of gcov's data belong to the project: those below the
// project's root (--root, default the working directory; files outside it,
// such as system headers or files generated in a build tree elsewhere, are
// left out unless --keep-external), narrowed by --include and --exclude
// regular expressions matched against the root-relative path. Applied to
// gcov's data before the exclusion markers (so no source outside the
// project is read) and the program builder.
#pragma once

#include <cstddef>
#include <regex>
#include <string>
#include <unordered_map>
#include <vector>

#include "import_gcov/gcov_json.h"
#include "profile_writer/program.h"

namespace import_gcov {

struct SourceFilterOptions {
  std::string root;  // empty: the working directory
  bool keep_external = false;
  std::vector<std::string> include, exclude;  // ECMAScript regular expressions
};

class SourceFilter {
 public:
  // False with `*error` when a pattern is not a valid regular expression.
  bool init(const SourceFilterOptions& options, std::string* error);
  // Removes from `unit` the source files that do not belong to the project.
  void apply(GcovUnit* unit);
  // Whether the file named `absolute` belongs to the project (decided once
  // per name).
  bool keeps(const std::string& absolute);

  // Marks `program` as written by an importer (keeping the header string
  // of the importer that built it, else the gcov importer's) and stores each source file
  // below the root with the root as its stored root, so that the reports
  // name it relative to the root and -srcroot can move it; a file outside
  // the root (--keep-external) keeps its absolute name. A name that is not
  // in normal form is left absolute.
  void store_roots(profile_writer::Program* program) const;

  const std::string& root() const { return root_; }  // absolute, with a final separator
  size_t kept() const { return kept_; }
  size_t outside_root() const { return outside_; }
  size_t by_patterns() const { return by_patterns_; }
  // The refusal of a run whose data names source files but keeps none, or
  // "" when some file is kept (or none was named).
  std::string nothing_kept() const;
  // The summary's lines of the files left out (none when none was).
  std::string left_out_summary() const;

 private:
  std::string root_;
  bool keep_external_ = false;
  std::vector<std::regex> include_, exclude_;
  std::unordered_map<std::string, bool> decided_;
  size_t kept_ = 0, outside_ = 0, by_patterns_ = 0;
};

}  // namespace import_gcov
