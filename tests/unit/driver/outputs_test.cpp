// Creating the text outputs is pinned by the end-to-end list tests; these are
// the failures no end-to-end run shows.
#include "driver/outputs.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "driver/settings.h"
#include "e2e/harness.h"
#include "platform/output_file.h"

namespace vorel {
namespace {

using test_support::capture;

// -txtfcvrg is opened before -txtbcvrg; when the second cannot be created
// the run stops, and its clean-up (main's) leaves no file behind.
TEST(Outputs, FailureStopsAfterTheFilesBeforeIt) {
  e2e::TempDir dir;
  Settings s;
  s.txt_function_list = dir.file("f.txt");
  s.txt_block_list = dir.file("missing/b.txt");
  s.call_graph_file = dir.file("cg.txt");
  OutputFiles files;
  auto c = capture([&] { open_output_files(s, files); });
  EXPECT_EQ(c.status, 1);
  EXPECT_EQ(c.err, "Couldn't open file " + dir.file("missing/b.txt") + " for output!\nvorelcov: " +
                       dir.file("missing/b.txt") + ": No such file or directory\n");
  EXPECT_NE(files.txt_function_list, nullptr);
  EXPECT_EQ(files.call_graph, nullptr);
  output_abandon();
  EXPECT_EQ(e2e::list_dir(dir.path()), std::vector<std::string>{});
}

}  // namespace
}  // namespace vorel
