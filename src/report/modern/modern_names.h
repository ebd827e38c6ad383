// Names in the modern HTML report: the shown path of a source file (relative
// to the common directory of all files), its directory chain, and the page
// file names, which are one-to-one with the paths and safe in any file
// system and URL.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorel {

// The prefix cut from shown names: the longest directory part that every
// name starts with, less its last directory, so that a name keeps at least
// one directory ("p/src/a.c" and "p/src/b.c" show as "src/a.c" and
// "src/b.c"); "" when the names share none. '/' separates, and so does
// `separator` (the host's: '\\' on Windows).
std::string common_directory(const std::vector<std::string_view>& names, char separator);

// `name` without `prefix` (when it starts with it), separators as '/'.
std::string shown_path(std::string_view name, std::string_view prefix, char separator);

// The directories a shown path lies in, outermost first: "a/b/c.c" -> {"a", "a/b"}.
std::vector<std::string> parent_directories(std::string_view shown);

// Page file names: "f-<code>.html" for a source file, "d-<code>.html" for a
// directory, where <code> keeps A-Z a-z 0-9 '.' '-' (a leading '.' excepted),
// turns '/' into '_' and writes any other byte as '~' and two hex digits. A
// code longer than 180 bytes is cut and ends in "~~" and a 64-bit hash of
// the whole path.
std::string file_page_name(std::string_view shown);
std::string directory_page_name(std::string_view shown_directory);

}  // namespace vorel
