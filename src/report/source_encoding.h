// The encoding of a source file, as the source views need to know it: plain
// ASCII, UTF-8 (with or without a byte-order mark), or else the ANSI code
// page, whose lines are converted to UTF-8 before rendering.
#pragma once

#include <cstddef>
#include <string_view>

namespace vorel {

enum class SourceEncoding { kAscii, kUtf8, kAnsi };

// Fed with the file's bytes in pieces of any size.
class EncodingClassifier {
 public:
  void feed(std::string_view bytes);
  SourceEncoding result() const;

 private:
  size_t seen_ = 0;         // bytes fed so far
  bool bom_ = false;        // starts with EF BB BF
  bool high_ = false;       // some byte >= 0x80
  bool invalid_ = false;    // some high byte outside a well-formed sequence
  int pending_ = 0;         // continuation bytes still expected
  unsigned char first_[3] = {};
};

SourceEncoding classify_encoding(std::string_view bytes);

}  // namespace vorel
