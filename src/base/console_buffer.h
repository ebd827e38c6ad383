// Console output (standard output and standard error) held back to be
// written later, so that work done on several threads prints in the order
// of a one-thread run.
//
// While a ConsoleCapture is alive on a thread, every message the diagnostics
// print on that thread (print_out, print_err, print_to on stdout/stderr,
// traces, catalog messages, fatal stops) is appended to its buffer instead.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace vorel {

class ConsoleBuffer {
 public:
  void append(std::FILE* stream, const char* fmt, va_list ap);
  void append(std::FILE* stream, const std::string& bytes);
  // Records a flush of `stream` at this point.
  void flush(std::FILE* stream);
  // Writes everything to the real streams in recorded order and empties the
  // buffer. Call it with no capture active on this thread.
  void replay();
  bool empty() const { return pieces_.empty(); }

 private:
  struct Piece {
    std::FILE* stream;
    std::string bytes;  // empty: a flush
  };
  std::vector<Piece> pieces_;
};

// Sends this thread's console output to `buffer` while alive (nested
// captures restore the previous one).
class ConsoleCapture {
 public:
  explicit ConsoleCapture(ConsoleBuffer* buffer);
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

 private:
  ConsoleBuffer* previous_;
};

// The buffer capturing `stream` on this thread, or nullptr when `stream` is
// written directly (no capture, or not stdout/stderr).
ConsoleBuffer* console_capture_for(std::FILE* stream);

}  // namespace vorel
