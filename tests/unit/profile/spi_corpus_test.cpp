// Replays the static reader's fuzzing corpus (seeds and every input that
// once crashed or hung it): each file must read through or end in an
// orderly stop with status 1. Run under the sanitizer build this catches
// the regressions the fuzzer found.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/harness.h"
#include "spi_test_support.h"

namespace {

TEST(SpiCorpus, EveryInputReadsOrStopsInOrder) {
  const std::filesystem::path dir = e2e::source_dir() + "/tests/fuzz/corpus/spi";
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const std::string path = entry.path().string();
    vorel::SpiFile* f = nullptr;
    auto stop = test_support::capture([&] {
      f = vorel::spi_open(path.c_str(), "/r");
      vorel::SpiRoutineInfo info;
      vorel::SpiCallSite call;
      while (f && vorel::spi_next_routine(f, &info) == 1)
        while (vorel::spi_next_call_site(f, &call) == 1) {
        }
    });
    vorel::spi_close(f);
    if (stop.status) {
      EXPECT_EQ(stop.status, 1) << path;
      EXPECT_NE(stop.err.find("vorelcov: error #"), std::string::npos) << path << "\n" << stop.err;
    }
  }
  EXPECT_GE(files, 8u);
}

}  // namespace
