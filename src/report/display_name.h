// The display name of a source file in the reports.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

struct ReportOptions;

// Without -showdirnames: the part of `path` after its last separator.
// With -showdirnames and a source root given by the user (-srcroot or the
// environment): `path` without the root when it begins with it. Otherwise
// the whole path.
std::string display_name(std::string_view path, bool show_dir_names, std::string_view user_root,
                         char separator);

// The same with the run's options.
std::string display_name(std::string_view path, const ReportOptions& options);

}  // namespace vorel
