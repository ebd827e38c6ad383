// Where a source file is read. The names the profiles hand out are read as
// they stand, except the root-relative names of an imported profile
// (profile/imported.h), which are read below the source directory that the
// driver settles for them.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

// `name` below `source_dir` (a directory with its final separator): the two
// joined when the directory is not empty and the name is relative; else the
// name itself. A name is absolute when it begins with a separator ('/' or
// '\\') or a drive letter and ':'.
std::string source_path(std::string_view name, const std::string& source_dir);

}  // namespace vorel
