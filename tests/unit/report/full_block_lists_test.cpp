#include "report/full_block_lists.h"

#include <gtest/gtest.h>

#include "mem_stream.h"

namespace vorel {
namespace {

TEST(FullBlockLists, WritesBothListsPerFile) {
  MemStream text, xml;
  FullBlockLists lists(text.get(), xml.get());
  std::vector<BlockDetail> details = {{4, 2, 3}, {4, 2, 0}};
  lists.begin_file("/src/a.c");
  lists.function(BlockListFunction{"f", 3, 3, 2, 1, details});
  lists.function(BlockListFunction{"idle", 9, 0, 4, 0, {}});
  lists.end_file();
  EXPECT_EQ(text.text(),
            "file - \"/src/a.c\"\n"
            "function - f\t3\t2\t1\t 50.00\n"
            "1\t4\t2\t           3\n"
            "2\t4\t2\t           0\n"
            "function - idle\t0\t4\t0\t  0.00\n"
            "\n");
  EXPECT_EQ(xml.text(),
            "<MODULE name = \"/src/a.c\">\n"
            "<FUNCTION name=\"f\" freq=\"3\" line=\"3\">\n"
            "<BLOCKS total=\"2\" covered=\"1\" coverage=\" 50.00%\"></BLOCKS>\n"
            "<BLOCK line=\"4\" col=\"2\">\n"
            "<INSTANCE id=\"1\" freq=\"           3\">\n</INSTANCE>\n"
            "<INSTANCE id=\"2\" freq=\"           0\">\n</INSTANCE>\n"
            "</BLOCK>\n"
            "</FUNCTION>\n"
            "<FUNCTION name=\"idle\" freq=\"0\" line=\"9\">\n"
            "<BLOCKS total=\"4\" covered=\"0\" coverage=\"  0.00%\"></BLOCKS>\n"
            "</FUNCTION>\n"
            "</MODULE>\n");
}

TEST(FullBlockLists, OneListAlone) {
  MemStream xml;
  FullBlockLists lists(nullptr, xml.get());
  EXPECT_TRUE(lists.any());
  lists.begin_file("b.c");
  lists.end_file();
  EXPECT_EQ(xml.text(), "<MODULE name = \"b.c\">\n</MODULE>\n");
  EXPECT_FALSE(FullBlockLists(nullptr, nullptr).any());
}

}  // namespace
}  // namespace vorel
