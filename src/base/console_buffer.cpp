#include "base/console_buffer.h"

namespace vorel {

namespace {
thread_local ConsoleBuffer* t_capture = nullptr;
}  // namespace

void ConsoleBuffer::append(std::FILE* stream, const char* fmt, va_list ap) {
  va_list again;
  va_copy(again, ap);
  char small[256];
  const int n = std::vsnprintf(small, sizeof small, fmt, ap);
  if (n <= 0) {
    va_end(again);
    return;
  }
  std::string text;
  if (static_cast<size_t>(n) < sizeof small) {
    text.assign(small, static_cast<size_t>(n));
  } else {
    text.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(text.data(), text.size(), fmt, again);
    text.resize(static_cast<size_t>(n));
  }
  va_end(again);
  append(stream, text);
}

void ConsoleBuffer::append(std::FILE* stream, const std::string& bytes) {
  if (bytes.empty()) return;
  // Consecutive text for one stream is kept as one piece.
  if (!pieces_.empty() && pieces_.back().stream == stream && !pieces_.back().bytes.empty())
    pieces_.back().bytes += bytes;
  else
    pieces_.push_back(Piece{stream, bytes});
}

void ConsoleBuffer::flush(std::FILE* stream) { pieces_.push_back(Piece{stream, {}}); }

void ConsoleBuffer::replay() {
  for (const Piece& p : pieces_) {
    if (p.bytes.empty())
      std::fflush(p.stream);
    else
      std::fwrite(p.bytes.data(), 1, p.bytes.size(), p.stream);
  }
  pieces_.clear();
}

ConsoleCapture::ConsoleCapture(ConsoleBuffer* buffer) : previous_(t_capture) { t_capture = buffer; }
ConsoleCapture::~ConsoleCapture() { t_capture = previous_; }

ConsoleBuffer* console_capture_for(std::FILE* stream) {
  if (!t_capture || (stream != stdout && stream != stderr)) return nullptr;
  return t_capture;
}

}  // namespace vorel
