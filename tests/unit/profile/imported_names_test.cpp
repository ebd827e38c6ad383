// Imported profiles (profile/imported.h): both readers hand a rooted name
// out relative, whatever the configured root and however long it is; the
// static file tells the root its rooted files share.
#include <gtest/gtest.h>

#include <string>

#include "dpi_test_support.h"
#include "profile/imported.h"
#include "profile/spi.h"

namespace {

namespace pw = profile_writer;

TEST(ImportedNames, ReadersHandRootedNamesOutRelative) {
  e2e::TempDir dir;
  const std::string long_name = std::string(150, 'd') + "/" + std::string(150, 'e') + "/a.c";
  pw::Program program;
  program.modules.push_back(pw::module("/proj/", long_name, {pw::routine("f", 1, 2, {{1, 1, 5, {1}}})}));
  program.modules.push_back(pw::module("", "/usr/include/x.h", {pw::routine("g", 1, 2, {{1, 1, 5, {1}}})}));
  vorel::DpiOpenOptions options;
  options.src_root = "/elsewhere/";
  const struct {
    const char* header;
    std::string rooted;  // the rooted file's name as the readers give it
  } cases[] = {
      {vorel::kImportedHeaderString, long_name},
      {vorel::kImportedLlvmHeaderString, long_name},
      {"another writer", "/elsewhere/" + long_name},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    program.header_string = c.header;
    for (pw::DpiLayout layout : {pw::DpiLayout::kSegmented, pw::DpiLayout::kSegmentedToc}) {
      ASSERT_TRUE(pw::write_dpi(program, dir.file("p.dpi"), layout));
      dpi_test::Opened opened = dpi_test::open_dpi(dir.file("p.dpi"), options);
      ASSERT_TRUE(opened.file) << opened.err;
      ASSERT_EQ(opened.file->index.size(), 2u);
      EXPECT_EQ(opened.file->imported, vorel::is_imported_header(c.header));
      EXPECT_EQ(std::string(opened.file->index[1].file_name), "/usr/include/x.h");
      // A compiler's name this long keeps its stored form, with the warning.
      const std::string stored = vorel::is_imported_header(c.header) ? c.rooted : "/proj/" + long_name;
      EXPECT_EQ(std::string(opened.file->index[0].file_name), stored);
    }
  }
  ASSERT_TRUE(pw::write_spi(program, dir.file("p.spi"), pw::SpiLayout::kBinaryV8));
  vorel::SpiFile* spi = vorel::spi_open(dir.file("p.spi").c_str(), "");
  ASSERT_NE(spi, nullptr);
  EXPECT_EQ(vorel::spi_shared_file_root(spi), "/proj/");
  vorel::SpiRoutineInfo info;
  std::string names;
  while (vorel::spi_next_routine(spi, &info) == 1) names += info.file_name + "\n";
  EXPECT_EQ(names, "/usr/include/x.h\n" + long_name + "\n");
  vorel::spi_close(spi);
  // Two rooted files under different roots share none.
  program.modules.push_back(pw::module("/other/", "b.c", {pw::routine("h", 1, 2, {{1, 1, 5, {1}}})}));
  ASSERT_TRUE(pw::write_spi(program, dir.file("q.spi"), pw::SpiLayout::kTextV8));
  spi = vorel::spi_open(dir.file("q.spi").c_str(), "");
  ASSERT_NE(spi, nullptr);
  EXPECT_EQ(vorel::spi_shared_file_root(spi), "");
  vorel::spi_close(spi);
}

}  // namespace
