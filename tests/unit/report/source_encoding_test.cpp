#include "report/source_encoding.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(SourceEncoding, Classes) {
  EXPECT_EQ(classify_encoding(""), SourceEncoding::kAscii);
  EXPECT_EQ(classify_encoding("int main() {}\n"), SourceEncoding::kAscii);
  EXPECT_EQ(classify_encoding("\xEF\xBB\xBFint x;\n"), SourceEncoding::kUtf8);
  EXPECT_EQ(classify_encoding("// caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\n"),
            SourceEncoding::kUtf8);
  // Five- and six-byte sequences follow the lead-byte patterns too.
  EXPECT_EQ(classify_encoding("\xF8\x88\x80\x80\x80 \xFC\x84\x80\x80\x80\x80"), SourceEncoding::kUtf8);
  EXPECT_EQ(classify_encoding("// caf\xE9\n"), SourceEncoding::kAnsi);      // Windows-1252 e-acute
  EXPECT_EQ(classify_encoding("x\x80y"), SourceEncoding::kAnsi);           // stray continuation
  EXPECT_EQ(classify_encoding("x\xC3"), SourceEncoding::kAnsi);            // cut at the end
  EXPECT_EQ(classify_encoding("\xE2\x82x"), SourceEncoding::kAnsi);        // cut in the middle
  EXPECT_EQ(classify_encoding("\xFE\xFF"), SourceEncoding::kAnsi);
  // A byte-order mark decides even when invalid bytes follow.
  EXPECT_EQ(classify_encoding("\xEF\xBB\xBF\xE9"), SourceEncoding::kUtf8);
}

TEST(SourceEncoding, SequencesMaySpanPieces) {
  EncodingClassifier c;
  c.feed("ab\xE2");
  c.feed("\x82");
  c.feed("\xAC\n");
  EXPECT_EQ(c.result(), SourceEncoding::kUtf8);
  EncodingClassifier bom;
  bom.feed("\xEF");
  bom.feed("\xBB\xBF");
  EXPECT_EQ(bom.result(), SourceEncoding::kUtf8);
}

}  // namespace
}  // namespace vorel
