#include "import_gcov/source_filter.h"

#include <algorithm>

#include "import_gcov/program_builder.h"
#include "platform/whole_file.h"
#include "profile/imported.h"

namespace import_gcov {

bool SourceFilter::init(const SourceFilterOptions& options, std::string* error) {
  root_ = normal_path(vorel::absolute_path(options.root.empty() ? "." : options.root));
  if (root_.empty() || root_.back() != '/') root_ += '/';
  keep_external_ = options.keep_external;
  for (const auto* list : {&options.include, &options.exclude})
    for (const std::string& pattern : *list) {
      try {
        (list == &options.include ? include_ : exclude_).emplace_back(pattern, std::regex::ECMAScript);
      } catch (const std::regex_error& e) {
        *error = (list == &options.include ? "--include " : "--exclude ") + pattern +
                 ": not a regular expression (" + e.what() + ")";
        return false;
      }
    }
  return true;
}

bool SourceFilter::keeps(const std::string& absolute) {
  auto [it, added] = decided_.try_emplace(absolute, false);
  if (!added) return it->second;
  std::string name = normal_path(absolute);
  bool inside = name.size() > root_.size() && name.compare(0, root_.size(), root_) == 0;
  if (!inside && !keep_external_) {
    ++outside_;
    return false;
  }
  if (inside) name.erase(0, root_.size());
  auto matches = [&](const std::regex& r) { return std::regex_search(name, r); };
  if ((!include_.empty() && std::none_of(include_.begin(), include_.end(), matches)) ||
      std::any_of(exclude_.begin(), exclude_.end(), matches)) {
    ++by_patterns_;
    return false;
  }
  ++kept_;
  return it->second = true;
}

void SourceFilter::store_roots(profile_writer::Program* program) const {
  if (!vorel::is_imported_header(program->header_string)) program->header_string = vorel::kImportedHeaderString;
  for (profile_writer::Module& m : program->modules)
    for (profile_writer::SourceFile& f : m.files) {
      if (!f.root.empty() || f.name.size() <= root_.size() || f.name.compare(0, root_.size(), root_) != 0 ||
          normal_path(f.name) != f.name)
        continue;
      f.root = root_;
      f.name.erase(0, root_.size());
    }
}

void SourceFilter::apply(GcovUnit* unit) {
  auto gone = std::remove_if(unit->files.begin(), unit->files.end(), [&](const GcovFile& f) {
    return !keeps(absolute_name(unit->current_working_directory, f.name));
  });
  unit->files.erase(gone, unit->files.end());
}

std::string SourceFilter::nothing_kept() const {
  if (kept_ > 0 || outside_ + by_patterns_ == 0) return "";
  return "no source file of the data is kept (" + std::to_string(outside_) + " outside the root " + root_ + ", " +
         std::to_string(by_patterns_) +
         " left out by --include/--exclude); --root names the project's root, --keep-external keeps the files "
         "outside it";
}

std::string SourceFilter::left_out_summary() const {
  std::string out;
  if (outside_) out += std::to_string(outside_) + " source files outside the root " + root_ + " left out\n";
  if (by_patterns_) out += std::to_string(by_patterns_) + " source files left out by --include/--exclude\n";
  return out;
}

}  // namespace import_gcov
