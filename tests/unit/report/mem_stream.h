// A FILE* whose bytes the test reads back, for testing the writers: a
// binary temporary file, so that the tests compare LF texts on every host.
#pragma once

#include <cstdio>
#include <string>

class MemStream {
 public:
  MemStream() : fp_(std::tmpfile()) {}
  ~MemStream() { std::fclose(fp_); }
  MemStream(const MemStream&) = delete;
  MemStream& operator=(const MemStream&) = delete;
  std::FILE* get() { return fp_; }
  std::string text() {
    std::fflush(fp_);
    std::string out(static_cast<size_t>(std::ftell(fp_)), '\0');
    std::rewind(fp_);
    out.resize(std::fread(out.data(), 1, out.size(), fp_));
    std::fseek(fp_, 0, SEEK_END);
    return out;
  }

 private:
  std::FILE* fp_;
};
