#include "report/source_encoding.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

// The classes are pinned through the source view's charset line
// (SourceViewTest.EncodingsDecideTheCharsetLineAndConversion); here a
// sequence cut by the reader's pieces, and one cut by the end of the file.
TEST(SourceEncoding, SequencesMaySpanPieces) {
  EncodingClassifier c;
  for (const char* piece : {"ab\xE2", "\x82", "\xAC\n"}) c.feed(piece);
  EXPECT_EQ(c.result(), SourceEncoding::kUtf8);
  EncodingClassifier bom;
  for (const char* piece : {"\xEF", "\xBB\xBF"}) bom.feed(piece);
  EXPECT_EQ(bom.result(), SourceEncoding::kUtf8);
  EXPECT_EQ(classify_encoding("x\xE2\x82"), SourceEncoding::kAnsi);
}

}  // namespace
}  // namespace vorel
