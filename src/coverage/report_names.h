// Report names: the names from which a source file's result pages are named.
//
// A report name is normally the source path itself. A path too long for the
// working directory is abbreviated to its base name (numbered when base names
// repeat). Distinct paths whose names would give the same report file name
// after the page-name rule (upper case; '/', ':', '\\' and the last '.' to
// '_') get a numeric suffix, so that no file's pages overwrite another's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorel {

struct Component;
struct HostRules;

// The page-name rule without prefix and extension: the last '.' becomes '_',
// every '/', ':' and '\\' becomes '_', a-z become A-Z. ("src/a.c" -> "SRC_A_C")
std::string report_stem(std::string_view report_name);

// Fills every entry's report_name. `cwd` is the current working directory;
// `rules.separator` splits base names. Prints "Warning: Some file or directory
// names are too long for default result file naming. Some result files will
// use abbreviated names\n" on stderr once when a name was abbreviated.
void compute_report_names(std::vector<Component>& entries, std::string_view cwd,
                          const HostRules& rules);

}  // namespace vorel
