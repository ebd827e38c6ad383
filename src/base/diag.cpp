#include "base/diag.h"

#include <cinttypes>

#include "base/catalog.h"

namespace vorel {

namespace {
const char* g_program_name = nullptr;
uint32_t g_trace_mask = 0;

const char* severity_word(bool error) { return error ? "error" : "warning"; }

void vprint_catalog(bool error, int number, va_list ap) {
  const char* text = catalog_text(number);
  std::fprintf(stderr, "vorelcov: %s #%d: ", severity_word(error), number);
  if (text) std::vfprintf(stderr, text, ap);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}
}  // namespace

void fatal_exit(int status) {
  std::fflush(stdout);
  std::fflush(stderr);
  throw FatalExit{status};
}

void print_to(std::FILE* stream, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(stream, fmt, ap);
  va_end(ap);
}

void print_out(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(stdout, fmt, ap);
  va_end(ap);
}

void print_err(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(stderr, fmt, ap);
  va_end(ap);
}

void set_program_name(const char* name) { g_program_name = name; }
const char* program_name() { return g_program_name; }

void internal_error(const char* fmt, ...) {
  if (g_program_name) std::fprintf(stderr, "%s: ", g_program_name);
  std::fputs("INTERNAL ERROR: ", stderr);
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(stderr, fmt, ap);
  va_end(ap);
  std::fputc('\n', stderr);
  fatal_exit(1);
}

void allocation_failed(uint64_t size, const char* purpose) {
  std::fprintf(stderr, "ERROR: unable to allocate %" PRIu64 " bytes of memory for %s\n", size, purpose);
  fatal_exit(1);
}

void catalog_warning(int number, ...) {
  va_list ap;
  va_start(ap, number);
  vprint_catalog(false, number, ap);
  va_end(ap);
}

void catalog_error(int number, ...) {
  va_list ap;
  va_start(ap, number);
  vprint_catalog(true, number, ap);
  va_end(ap);
  fatal_exit(1);
}

void set_trace_mask(uint32_t mask) { g_trace_mask = mask; }
bool trace_on(uint32_t bit) { return (g_trace_mask & bit) != 0; }

void trace(uint32_t bit, const char* fmt, ...) {
  if (!trace_on(bit)) return;
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(stderr, fmt, ap);
  va_end(ap);
  std::fflush(stderr);
}

}  // namespace vorel
