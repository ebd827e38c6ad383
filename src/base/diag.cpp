#include "base/diag.h"

#include <cinttypes>

#include "base/catalog.h"
#include "base/console_buffer.h"

namespace vorel {

namespace {
const char* g_program_name = nullptr;
uint32_t g_trace_mask = 0;

const char* severity_word(bool error) { return error ? "error" : "warning"; }

// Every console write goes through these three: a thread whose output is
// captured (console_buffer.h) appends to its buffer instead.
void console_vwrite(std::FILE* stream, const char* fmt, va_list ap) {
  if (ConsoleBuffer* buffer = console_capture_for(stream))
    buffer->append(stream, fmt, ap);
  else
    std::vfprintf(stream, fmt, ap);
}

void console_write(std::FILE* stream, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void console_write(std::FILE* stream, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  console_vwrite(stream, fmt, ap);
  va_end(ap);
}

void console_flush(std::FILE* stream) {
  if (ConsoleBuffer* buffer = console_capture_for(stream))
    buffer->flush(stream);
  else
    std::fflush(stream);
}

void vprint_catalog(bool error, int number, va_list ap) {
  const char* text = catalog_text(number);
  console_write(stderr, "vorelcov: %s #%d: ", severity_word(error), number);
  if (text) console_vwrite(stderr, text, ap);
  console_write(stderr, "\n");
  console_flush(stderr);
}
}  // namespace

void fatal_exit(int status) {
  console_flush(stdout);
  console_flush(stderr);
  throw FatalExit{status};
}

void print_to(std::FILE* stream, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  console_vwrite(stream, fmt, ap);
  va_end(ap);
}

void print_out(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  console_vwrite(stdout, fmt, ap);
  va_end(ap);
}

void print_err(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  console_vwrite(stderr, fmt, ap);
  va_end(ap);
}

void set_program_name(const char* name) { g_program_name = name; }
const char* program_name() { return g_program_name; }

void internal_error(const char* fmt, ...) {
  if (g_program_name) console_write(stderr, "%s: ", g_program_name);
  console_write(stderr, "INTERNAL ERROR: ");
  va_list ap;
  va_start(ap, fmt);
  console_vwrite(stderr, fmt, ap);
  va_end(ap);
  console_write(stderr, "\n");
  fatal_exit(1);
}

void allocation_failed(uint64_t size, const char* purpose) {
  console_write(stderr, "ERROR: unable to allocate %" PRIu64 " bytes of memory for %s\n", size, purpose);
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
  console_vwrite(stderr, fmt, ap);
  va_end(ap);
  console_flush(stderr);
}

}  // namespace vorel
