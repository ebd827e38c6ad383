#include "report/source_encoding.h"

namespace vorel {

namespace {

// The number of continuation bytes after a lead byte (sequences of 2 to 6
// bytes), or -1 for a byte that cannot lead a sequence.
int continuation_count(unsigned char c) {
  if ((c & 0xE0) == 0xC0) return 1;
  if ((c & 0xF0) == 0xE0) return 2;
  if ((c & 0xF8) == 0xF0) return 3;
  if ((c & 0xFC) == 0xF8) return 4;
  if ((c & 0xFE) == 0xFC) return 5;
  return -1;
}

}  // namespace

void EncodingClassifier::feed(std::string_view bytes) {
  for (unsigned char c : bytes) {
    if (seen_ < 3) first_[seen_] = c;
    ++seen_;
    if (seen_ == 3 && first_[0] == 0xEF && first_[1] == 0xBB && first_[2] == 0xBF) bom_ = true;
    if (c >= 0x80) high_ = true;
    if (pending_ > 0) {
      if ((c & 0xC0) == 0x80) {
        --pending_;
        continue;
      }
      invalid_ = true;  // the sequence was cut short
      pending_ = 0;
    }
    if (c < 0x80) continue;
    const int n = continuation_count(c);
    if (n < 0)
      invalid_ = true;
    else
      pending_ = n;
  }
}

SourceEncoding EncodingClassifier::result() const {
  if (bom_) return SourceEncoding::kUtf8;
  if (!high_) return SourceEncoding::kAscii;
  if (!invalid_ && pending_ == 0) return SourceEncoding::kUtf8;
  return SourceEncoding::kAnsi;
}

SourceEncoding classify_encoding(std::string_view bytes) {
  EncodingClassifier c;
  c.feed(bytes);
  return c.result();
}

}  // namespace vorel
