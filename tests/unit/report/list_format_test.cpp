#include "report/list_format.h"

#include <gtest/gtest.h>

#include "mem_stream.h"

namespace vorel {
namespace {

const std::vector<BlockDetail> kBlocks = {{10, 5, 5}, {10, 5, 0}, {11, 1, 1234567}};

TEST(ListFormat, TextRecordNumbersInstancesWithinAPosition) {
  MemStream out;
  FunctionRecord r{"a<b>&c", 7, 10, 3, 2, kBlocks};
  write_function_record(out.get(), ListFormat::kText, r);
  EXPECT_EQ(out.text(),
            "function - a<b>&c\t7\t3\t2\t 66.67\n"
            "1\t10\t5\t           5\n"
            "2\t10\t5\t           0\n"
            "1\t11\t1\t     1234567\n");
}

TEST(ListFormat, XmlRecordGroupsInstancesIntoBlocks) {
  MemStream out;
  FunctionRecord r{"a<b>&c", 7, 10, 3, 2, kBlocks};
  write_function_record(out.get(), ListFormat::kXml, r);
  EXPECT_EQ(out.text(),
            "<FUNCTION name=\"a&lt;b&gt;&amp;c\" freq=\"7\" line=\"10\">\n"
            "<BLOCKS total=\"3\" covered=\"2\" coverage=\" 66.67%\"></BLOCKS>\n"
            "<BLOCK line=\"10\" col=\"5\">\n"
            "<INSTANCE id=\"1\" freq=\"           5\">\n</INSTANCE>\n"
            "<INSTANCE id=\"2\" freq=\"           0\">\n</INSTANCE>\n"
            "</BLOCK>\n"
            "<BLOCK line=\"11\" col=\"1\">\n"
            "<INSTANCE id=\"1\" freq=\"     1234567\">\n</INSTANCE>\n"
            "</BLOCK>\n"
            "</FUNCTION>\n");
}

TEST(ListFormat, RecordWithoutBlocksOrLine) {
  MemStream text, xml;
  FunctionRecord r{"f", 18446744073709551615u, 0, 0, 0, std::nullopt};
  write_function_record(text.get(), ListFormat::kText, r);
  write_function_record(xml.get(), ListFormat::kXml, r);
  EXPECT_EQ(text.text(), "function - f\t18446744073709551615\t0\t0\t  0.00\n");
  EXPECT_EQ(xml.text(),
            "<FUNCTION name=\"f\" freq=\"18446744073709551615\">\n"
            "<BLOCKS total=\"0\" covered=\"0\" coverage=\"  0.00%\"></BLOCKS>\n"
            "</FUNCTION>\n");
}

TEST(ListFormat, CoverageRoundsHalfUpToHundredths) {
  MemStream out;
  write_function_record(out.get(), ListFormat::kText, FunctionRecord{"f", 1, 0, 8, 1, std::nullopt});
  write_function_record(out.get(), ListFormat::kText, FunctionRecord{"g", 1, 0, 4, 4, std::nullopt});
  EXPECT_EQ(out.text(), "function - f\t1\t8\t1\t 12.50\nfunction - g\t1\t4\t4\t100.00\n");
}

TEST(ListFormat, GroupsAndProject) {
  MemStream text, xml;
  write_group_start(text.get(), ListFormat::kText, kCoveredFunctionsLabel, "/src/a&b.c");
  write_group_end(text.get(), ListFormat::kText);
  write_group_start(text.get(), ListFormat::kText, kFullListLabel, "x.c");
  EXPECT_EQ(text.text(), "Covered Functions in File: \"/src/a&b.c\"\n\nfile - \"x.c\"\n");

  write_xml_head(xml.get(), std::nullopt);
  write_group_start(xml.get(), ListFormat::kXml, kFullListLabel, "/src/a&b.c");
  write_group_end(xml.get(), ListFormat::kXml);
  write_xml_tail(xml.get());
  write_xml_head(xml.get(), std::string("it's \"mine\""));
  EXPECT_EQ(xml.text(),
            "<PROJECT name = \"(null)\">\n"
            "<MODULE name = \"/src/a&amp;b.c\">\n"
            "</MODULE>\n"
            "</PROJECT>\n"
            "<PROJECT name = \"it&apos;s &quot;mine&quot;\">\n");
}

}  // namespace
}  // namespace vorel
