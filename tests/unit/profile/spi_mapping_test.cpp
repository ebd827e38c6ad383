// The mapping-section grammar and its failure reasons.
#include "profile/spi_mapping.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "profile/file_access.h"
#include "profile/spi_file.h"

namespace {


// Parses `text` as a mapping section that starts at offset 0 of its file.
struct Parsed {
  bool ok = false;
  std::string reason;
  std::unique_ptr<vorel::SpiFile> f = std::make_unique<vorel::SpiFile>();
};

Parsed parse(const std::string& text, bool binary = false, int version = 8) {
  e2e::TempDir dir;
  e2e::write_file(dir.file("m"), text);
  Parsed p;
  p.f->name = dir.file("m");
  p.f->fp = std::fopen(p.f->name.c_str(), "rb");
  p.f->binary = binary;
  p.f->version = version;
  p.f->file_size = text.size();
  p.ok = vorel::spi_parse_mapping(*p.f, &p.reason);
  return p;
}

// One case per failure reason of the grammar.
TEST(SpiMapping, Failures) {
  const std::pair<const char*, const char*> cases[] = {
      {"<M1>1\n</M1>\n</H>\n", "Expected to find mapping start key"},
      {"<H>\n1 f\n</H>\n", "Expected to find section mapping start key"},
      {"<H>\n<R1>1\n1 f\n</R1>\n", "Could not parse mapping section"},  // no "</H>"
      {"", "Could not parse mapping section"},  // offset at the end of the file
      {"<H>\n<R1>1\n1 f\n</H>\n", "Error parsing string map, '</H>'"},
      {"<H>\n<M1>0\n</M1>\n<M1>0\n</M1>\n</H>\n", "Duplicate module mapping initialization key"},
      {"<H>\n<F1>0\n</F1>\n<F1>0\n</F1>\n</H>\n", "Duplicate file mapping initialization key"},
      {"<H>\n<R1>0\n</R1>\n<R1>0\n</R1>\n</H>\n", "Duplicate routine mapping initialization key"},
      {"<H>\n<D1>0\n</D1>\n<D1>0\n</D1>\n</H>\n", "Duplicate data ref mapping initialization key"},
      {"<H>\n<M1>1\n1 0 0 a\n</M1>\n</H>\n", "Error parsing module map, '1 0 0 a'"},
      {"<H>\n<F1>1\n1 a\n</F1>\n</H>\n", "Error parsing file map, '1 a'"},
      {"<H>\n<R1>1\nf\n</R1>\n</H>\n", "Error parsing string map, 'f'"},
      // Another section's key inside a section is an entry.
      {"<H>\n<D1>1\n<R1>1\n</D1>\n</H>\n", "Error parsing string map, '<R1>1'"},
      {"<H>\n<M1>3\n4 0 0 0 m\n</M1>\n</H>\n", "Id for 'm' is out of range"},
      {"<H>\n<R1>2\n2 f\n2 g\n</R1>\n</H>\n", "Id for 'g' is out of range"},  // taken
      {"<H>\n<R1>2\n0 f\n</R1>\n</H>\n", "Id for 'f' is out of range"},
      {"<H>\n<F1>1\n1 4 abc\n</F1>\n</H>\n", "root_len <= strlen(name)"},
  };
  for (const auto& [text, reason] : cases) {
    Parsed p = parse(text);
    EXPECT_FALSE(p.ok) << text;
    EXPECT_EQ(p.reason, reason);
  }
  // A NUL inside a module, source file, routine or data name.
  using namespace std::string_literals;
  for (const std::string& text :
       {"<H>\n<M1>1\n1 0 0 0 m\0.c\n</M1>\n</H>\n"s, "<H>\n<F1>1\n1 0 a\0b.c\n</F1>\n</H>\n"s,
        "<H>\n<R1>1\n1 f\0g\n</R1>\n</H>\n"s, "<H>\n<D1>1\n1 \0\n</D1>\n</H>\n"s}) {
    Parsed p = parse(text);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.reason, "Name holds a NUL byte");
  }
  // Counts the file cannot hold are refused before any list is made (4
  // billion ids would be a 32 GB list).
  for (const char* text : {"<H>\n<R1>4000000000\n1 f\n</R1>\n</H>\n", "<H>\n<M1>-1\n</M1>\n</H>\n",
                           "<H>\n<D1>100\n</D1>\n</H>\n"}) {
    Parsed p = parse(text);
    EXPECT_FALSE(p.ok);
    EXPECT_THAT(p.reason, testing::HasSubstr("does not fit"));
  }
}

}  // namespace
