// The system calls under the output files (platform/output_file): one
// implementation per host (output_sys.cpp, output_sys_win.cpp).
#pragma once

#include <cstdio>
#include <string>

#include "platform/output_file.h"

namespace vorel::output_sys {

// The characters that end a directory name in a path.
#ifdef _WIN32
inline constexpr const char* kSeparators = "/\\";
#else
inline constexpr const char* kSeparators = "/";
#endif

enum class Kind { kMissing, kFile, kDirectory, kLink, kOther };

// What `path` names; a symbolic link itself unless `follow`. `*mode` gets
// the permission bits of a file (when given).
Kind kind_of(const std::string& path, bool follow, unsigned* mode = nullptr);
// Whether the existing file `path` may be written (errno set when not).
bool writable(const std::string& path);
// Opens a device or pipe for writing as it is.
std::FILE* open_device(const std::string& path);
// Creates `path` new, never through a link, with permission bits `mode`
// (when `keep_mode`); nullptr with errno EEXIST when it exists. `binary`
// writes bytes as they are; otherwise a text stream (CR LF lines on Windows).
std::FILE* create_new(const std::string& path, bool keep_mode, unsigned mode, bool binary);
// Renames `from` to `to`, replacing a file or link at `to`.
bool rename_over(const std::string& from, const std::string& to);
void remove_file(const std::string& path);
void remove_directory(const std::string& path);
bool make_directory(const std::string& path);
// The number of this process, for temporary names.
unsigned long process_id();
// The run's lock of directory `path` (see lock_directory).
LockState lock(const std::string& path, bool wait);

}  // namespace vorel::output_sys
