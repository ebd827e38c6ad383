// The system calls under the output files (platform/output_file): one
// implementation per host (output_sys.cpp, output_sys_win.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
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
// Where a name the user gave leads: symbolic links are followed one step at
// a time to a file, a directory or a missing name (`*final` gets that path);
// kOther for a device, a FIFO, a socket or a link the system makes for an
// open descriptor (/proc/self/fd/N, what /dev/stdout leads to). kLink when
// the chain does not end.
Kind resolve(const std::string& path, std::string* final);
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
// Makes directory `path` new with permission bits `mode` (when `keep_mode`).
bool make_directory(const std::string& path, bool keep_mode = false, unsigned mode = 0);
// The number of this process (mixed into the run's token).
unsigned long process_id();
// Takes the lock of directory `path` (see output_begin); a directory this
// process holds already gives kAcquired.
LockState lock(const std::string& path, bool wait);
// `path` as the file-system library takes it (UTF-16 on Windows).
std::filesystem::path native(const std::string& path);
// `path` made absolute against the working directory.
std::string absolute(const std::string& path);

// What tells two names of one file apart from two files, for the check that
// no two outputs (or an output and an input) are one file.
struct FileId {
  bool exists = false;
  bool stream = false;  // a device, a FIFO, a socket: writers there do not overwrite each other
  uint64_t device = 0, inode = 0;
  std::string canonical;     // absolute, links of the directories resolved
};
FileId file_id(const std::string& path, bool follow);

// Runs `clean` on another thread when the process is asked to stop (SIGINT,
// SIGTERM, SIGHUP; console control events on Windows), then lets the stop
// take its course. Signals the process ignores stay ignored.
void on_stop(void (*clean)());

}  // namespace vorel::output_sys
