// Opening a file by its name, the one way every layer opens a file.
//
// Names are UTF-8 everywhere in the program; on Windows they become UTF-16
// at this boundary (_wfopen), so names outside the ANSI code page work.
#pragma once

#include <cstdio>
#include <string>

namespace vorel {

// fopen with a UTF-8 name; nullptr (errno set) when it cannot be opened.
// A read-only mode ('r' without '+') opens regular files only: a directory,
// device, FIFO or socket fails as if it could not be opened. The check is
// made on the open descriptor, and a FIFO is opened without waiting for a
// writer, so nothing blocks and nothing can be swapped in between.
std::FILE* open_file(const std::string& name, const char* mode);

// Why the last failed open of this thread (open_file, open_with_lock)
// failed: `missing` when the name does not exist, and a short reason such as
// "No such file or directory" or "not a regular file (a directory)".
struct OpenFailure {
  bool missing = false;
  std::string reason;
};
const OpenFailure& last_open_failure();
// Forgets it, before a call that may fail for other reasons than an open.
void clear_open_failure();

// For the platform's own opens: records errno as the failure, or a file type
// that is not a regular file (`what` such as "a directory").
void record_open_errno(int code);
void record_not_regular(const char* what);

// Whether a text-mode output stream writes "\r\n" for "\n" (Windows).
#ifdef _WIN32
inline constexpr bool kTextStreamsWriteCrLf = true;
#else
inline constexpr bool kTextStreamsWriteCrLf = false;
#endif

}  // namespace vorel
