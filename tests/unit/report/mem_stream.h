// A FILE* that writes into memory, for testing the writers (a temporary
// file on Windows, which has no open_memstream).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef _WIN32
class MemStream {
 public:
  MemStream() : fp_(open_memstream(&buf_, &len_)) {}
  ~MemStream() { std::fclose(fp_), std::free(buf_); }
  MemStream(const MemStream&) = delete;
  MemStream& operator=(const MemStream&) = delete;
  std::FILE* get() { return fp_; }
  std::string text() { return std::fflush(fp_), std::string(buf_, len_); }

 private:
  char* buf_ = nullptr;
  size_t len_ = 0;
  std::FILE* fp_;
};
#else
class MemStream {
 public:
  // Binary, as an in-memory stream is: the tests compare LF texts.
  MemStream() : fp_(std::tmpfile()) {}
  ~MemStream() { std::fclose(fp_); }
  MemStream(const MemStream&) = delete;
  MemStream& operator=(const MemStream&) = delete;
  std::FILE* get() { return fp_; }
  std::string text() {
    std::fflush(fp_);
    long end = std::ftell(fp_);
    std::string out(static_cast<size_t>(end), '\0');
    std::rewind(fp_);
    size_t got = std::fread(out.data(), 1, out.size(), fp_);
    out.resize(got);
    std::fseek(fp_, 0, SEEK_END);
    return out;
  }

 private:
  std::FILE* fp_;
};
#endif
