// A FILE* that writes into memory, for testing the writers.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

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
