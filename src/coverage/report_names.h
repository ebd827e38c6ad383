// Report names: the names from which a source file's result pages are named.
//
// A report name is normally the source path itself. A path too long for the
// working directory is abbreviated to its base name (numbered when base names
// repeat). Distinct paths whose names would give the same report file name
// after the page-name rule (upper case; '/', ':', '\\' and the last '.' to
// '_') get a numeric suffix, so that no file's pages overwrite another's.
// Every page a name gives counts (its source view, frame set and function
// lists), and so do the tool's own pages. A name whose page names would be
// too long for a file name keeps a prefix and gets a hash of the whole name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorel {

struct Component;
struct HostRules;
class NameArena;

// The page-name rule without prefix and extension: the last '.' becomes '_',
// every '/', ':' and '\\' becomes '_', a-z become A-Z. ("src/a.c" -> "SRC_A_C")
std::string report_stem(std::string_view report_name);

// The pages a report name gives and the names it must not take.
struct PageNameRule {
  // Page stems of one report name: its stem followed by each suffix.
  std::vector<std::string> source_suffixes = {""};
  // Page stems of the tool's own pages.
  std::vector<std::string> reserved;
  // Longest page stem a file name takes (0: no limit).
  size_t stem_limit = 0;
};

// Fills every entry's report_name. `cwd` is the current working directory;
// `rules.separator` splits base names. Prints "Warning: Some file or directory
// names are too long for default result file naming. Some result files will
// use abbreviated names\n" on stderr once when a name was abbreviated.
// The names are stored in `names`, once per file.
void compute_report_names(std::vector<Component>& entries, NameArena& names, std::string_view cwd,
                          const HostRules& rules, const PageNameRule& pages = {});

}  // namespace vorel
