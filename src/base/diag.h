// Diagnostics: the two printers, fatal exits, catalog messages and traces.
//
// Every message carries its own prefix and line end. A fatal stop prints its
// message and calls fatal_exit(status), which throws FatalExit; only main()
// catches it and returns the status. Nothing else is thrown on purpose.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vorel {

// The one exception type of the program: an orderly stop with a status.
struct FatalExit {
  int status;
};

// Ends the run with `status` (releases start-up resources, then throws).
[[noreturn]] void fatal_exit(int status);

// printf-style output to a stream / to stdout; no prefix, no line end, no
// flush is added.
void print_to(std::FILE* stream, const char* fmt, ...) __attribute__((format(gnu_printf, 2, 3)));
void print_out(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));
void print_err(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));

// Records word 0 of the arguments for the internal-error message.
void set_program_name(const char* name);
const char* program_name();  // nullptr until recorded

// "<program>: INTERNAL ERROR: <message>\n" on stderr, then status 1.
[[noreturn]] void internal_error(const char* fmt, ...) __attribute__((format(gnu_printf, 1, 2)));

// An allocation for `purpose` failed: "ERROR: unable to allocate <size>
// bytes of memory for <purpose>\n" on stderr, then status 1.
[[noreturn]] void allocation_failed(uint64_t size, const char* purpose);

// Catalog messages (see catalog.h for the numbers). A catalog warning prints
// one line on stderr and returns; a catalog error prints one line and ends
// the run with status 1. The catalog text is a printf format.
void catalog_warning(int number, ...);
[[noreturn]] void catalog_error(int number, ...);

// Trace bits of -trace.
enum TraceBit : uint32_t {
  kTraceMarkBlocks = 1,   // begin/end of the per-file computation
  kTraceRoutines = 2,     // one line per routine
  kTraceSourceView = 4,   // begin/end of a source view
};
void set_trace_mask(uint32_t mask);
bool trace_on(uint32_t bit);
// Prints a trace line on stderr and flushes it (only when `bit` is set).
void trace(uint32_t bit, const char* fmt, ...) __attribute__((format(gnu_printf, 2, 3)));

}  // namespace vorel
