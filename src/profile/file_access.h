// Checked file access for the profile readers.
//
// Every primitive either succeeds or ends the run through fatal_exit: callers
// never test for I/O errors. `name` is only used in the messages and may be
// nullptr (the message then has no file name).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vorel {

// Opens a profile file under its lock (platform/locked_open.h). While
// another process holds the lock, "vorelcov: waiting for <name> locked by
// another process" is printed once on stderr and the open waits.
std::FILE* profile_open(const char* name, const char* mode);

// Reads exactly `count` elements; a short read is fatal
// ("FATAL ERROR: fread on file %s failed\n", status 1).
size_t checked_read(void* buf, size_t size, size_t count, std::FILE* fp, const char* name);
// Positioning and telling; failures are fatal with their own messages.
void checked_seek(std::FILE* fp, int32_t offset, int origin, const char* name);
void checked_seek64(std::FILE* fp, uint64_t offset, const char* name);
int32_t checked_tell(std::FILE* fp, const char* name);
uint64_t checked_tell64(std::FILE* fp, const char* name);

// Reads one line without its line feed into the library's shared line
// buffer and returns it. Binary mode keeps carriage returns; text mode drops
// a carriage return before the line feed. At end of file: the empty string.
// The returned string is valid until the next read_line call.
enum class LineMode { kBinary, kText };
const std::string& read_line(LineMode mode, std::FILE* fp);
// Capacity of the shared line buffer (starts at 2000, grows by 2000).
size_t line_buffer_capacity();

// Library source paths used by ASSERTX messages.
inline constexpr const char* kReaderPath = "shared/zentra/client";
inline constexpr const char* kAccessorPath = "../dev/shared/zentra/kelvet";

// Prints "%s:%d ASSERTX(%s)\n" on stderr and ends the run with status 1.
[[noreturn]] void assertx_fail(const char* path, int line, const char* condition);

}  // namespace vorel

#define ASSERTX(path, cond) \
  do { \
    if (!(cond)) ::vorel::assertx_fail((path), __LINE__, #cond); \
  } while (0)
