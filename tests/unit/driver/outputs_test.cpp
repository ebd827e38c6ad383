#include "driver/outputs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "driver/settings.h"
#include "fatal.h"

namespace vorel {
namespace {

using testing_support::fatal_status;

class Outputs : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vorelcov-out-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string path(const char* name) const { return dir_ + "/" + name; }
  std::string dir_;
};

TEST_F(Outputs, TextListsAreCreatedEmptyAndClosedInOrder) {
  Settings s;
  s.txt_function_list = path("f.txt");
  s.txt_block_list = path("b.txt");
  s.call_graph_file = path("cg.txt");
  OutputFiles files;
  open_output_files(s, files);
  ASSERT_NE(files.txt_function_list, nullptr);
  ASSERT_NE(files.txt_block_list, nullptr);
  ASSERT_NE(files.call_graph, nullptr);
  EXPECT_EQ(files.xml_function_list, nullptr);
  std::fputs("x\n", files.call_graph);
  close_output_files(s, files);
  EXPECT_EQ(files.call_graph, nullptr);
  EXPECT_EQ(std::filesystem::file_size(path("f.txt")), 0u);
  EXPECT_EQ(std::filesystem::file_size(path("cg.txt")), 2u);
}

// -txtfcvrg is opened before -txtbcvrg; when the second cannot be created
// the run stops and the first stays, empty.
TEST_F(Outputs, FailureStopsAfterTheFilesBeforeIt) {
  Settings s;
  s.txt_function_list = path("f.txt");
  s.txt_block_list = path("missing/b.txt");
  s.call_graph_file = path("cg.txt");
  OutputFiles files;
  testing::internal::CaptureStderr();
  EXPECT_EQ(fatal_status([&] { open_output_files(s, files); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Couldn't open file " + path("missing/b.txt") + " for output!\n");
  EXPECT_TRUE(std::filesystem::exists(path("f.txt")));
  EXPECT_EQ(std::filesystem::file_size(path("f.txt")), 0u);
  EXPECT_FALSE(std::filesystem::exists(path("cg.txt")));
  if (files.txt_function_list) std::fclose(files.txt_function_list);
}

TEST_F(Outputs, UnwritableDataIsNotASilentSuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Settings s;
  s.txt_function_list = "/dev/full";
  OutputFiles files;
  open_output_files(s, files);
  ASSERT_NE(files.txt_function_list, nullptr);
  std::fputs("data that cannot be stored\n", files.txt_function_list);
  testing::internal::CaptureStderr();
  EXPECT_EQ(fatal_status([&] { close_output_files(s, files); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: writing file /dev/full failed.\n");
}

}  // namespace
}  // namespace vorel
