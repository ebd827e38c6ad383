// Reading and writing a whole file at once, for the profile-file writer and
// the coverage-data importer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vorel {

// The rest of an open stream, read in large pieces (a source read once and
// shared by everything that looks at it).
std::string read_rest(std::FILE* in);

// Reads the regular file `path` into `out`. On failure returns false and
// sets `error` to the reason: the system's, "not a regular file (...)", or
// "larger than the limit of N bytes" as soon as the file is seen to hold
// more than `limit` bytes.
bool read_whole_file(const std::string& path, std::string* out, std::string* error,
                     size_t limit = SIZE_MAX);

// Writes `bytes` to `path`, a name the user gave, through the output files
// (platform/output_file.h): never a partial file under `path`; inside a
// transaction it goes in place at the commit. On failure returns false and
// sets `error` to the system's reason.
bool write_whole_file(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace vorel

namespace vorel {

// The regular files under directory `dir`, at any depth, in sorted order.
// On failure returns false and sets `error`.
bool list_files_recursively(const std::string& dir, std::vector<std::string>* out, std::string* error);

// Whether `path` names a directory.
bool is_directory(const std::string& path);

// `path` made absolute against the working directory (unchanged when it is
// absolute already or the working directory cannot be read).
std::string absolute_path(const std::string& path);

}  // namespace vorel
