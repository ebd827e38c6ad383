#include "report/source_encoding.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(SourceEncoding, Classes) {
  using E = SourceEncoding;
  const std::pair<const char*, E> cases[] = {
      {"", E::kAscii},
      {"int main() {}\n", E::kAscii},
      {"\xEF\xBB\xBFint x;\n", E::kUtf8},
      {"// caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\n", E::kUtf8},
      {"\xF8\x88\x80\x80\x80 \xFC\x84\x80\x80\x80\x80", E::kUtf8},  // five and six bytes
      {"\xEF\xBB\xBF\xE9", E::kUtf8},  // a byte-order mark decides
      {"// caf\xE9\n", E::kAnsi},      // Windows-1252 e-acute
      {"x\x80y", E::kAnsi},            // stray continuation
      {"x\xC3", E::kAnsi},             // cut at the end
      {"\xE2\x82x", E::kAnsi},         // cut in the middle
      {"\xFE\xFF", E::kAnsi},
  };
  for (const auto& [text, encoding] : cases) EXPECT_EQ(classify_encoding(text), encoding) << text;
}

TEST(SourceEncoding, SequencesMaySpanPieces) {
  EncodingClassifier c;
  for (const char* piece : {"ab\xE2", "\x82", "\xAC\n"}) c.feed(piece);
  EXPECT_EQ(c.result(), SourceEncoding::kUtf8);
  EncodingClassifier bom;
  for (const char* piece : {"\xEF", "\xBB\xBF"}) bom.feed(piece);
  EXPECT_EQ(bom.result(), SourceEncoding::kUtf8);
}

}  // namespace
}  // namespace vorel
