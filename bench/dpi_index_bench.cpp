// Indexing a dynamic profile file of 100,000 routines (dpi_open + dpi_close)
// in each layout. Target: well under a second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "profile/dpi.h"
#include "profile_writer/program.h"

namespace {

constexpr int kFiles = 100;
constexpr int kRoutinesPerFile = 1000;

profile_writer::Program large_program() {
  profile_writer::Program p;
  p.runs = 3;
  profile_writer::Module m;
  m.name = "app.obj";
  for (int f = 0; f < kFiles; ++f) {
    profile_writer::SourceFile file;
    file.root = "/build/src/";
    file.name = "dir" + std::to_string(f % 7) + "/file" + std::to_string(f) + ".cpp";
    for (int i = 0; i < kRoutinesPerFile; ++i) {
      profile_writer::Routine r;
      r.name = "ns::function_" + std::to_string(i * 7919 % kRoutinesPerFile) + "_" + std::to_string(f);
      for (uint32_t b = 0; b < 10; ++b) {
        profile_writer::Block block;
        block.count = b * 3u;
        block.line = 10 + b;
        block.col = 1;
        r.blocks.push_back(block);
      }
      r.indirectly_called = i % 5 == 0;
      r.address = 0x400000 + static_cast<uint64_t>(f) * kRoutinesPerFile * 64 + i * 64;
      file.routines.push_back(std::move(r));
    }
    m.files.push_back(std::move(file));
  }
  p.modules.push_back(std::move(m));
  return p;
}

// The written files, removed when the benchmark ends.
struct BenchFiles {
  std::string paths[3];
  ~BenchFiles() {
    for (const std::string& p : paths)
      if (!p.empty()) std::remove(p.c_str());
  }
};

const std::string& bench_file(profile_writer::DpiLayout layout) {
  static const profile_writer::Program program = large_program();
  static BenchFiles files;
  std::string& path = files.paths[static_cast<int>(layout)];
  if (path.empty()) {
    path = "/tmp/vorelcov_dpi_bench_" + std::to_string(static_cast<int>(layout)) + ".dpi";
    profile_writer::write_dpi(program, path, layout);
  }
  return path;
}

void BM_DpiOpen(benchmark::State& state) {
  auto layout = static_cast<profile_writer::DpiLayout>(state.range(0));
  const std::string& path = bench_file(layout);
  vorel::DpiOpenOptions options;
  options.src_root = "/home/user/project/";
  for (auto _ : state) {
    vorel::DpiFilePtr f(vorel::dpi_open(path.c_str(), options));
    if (!f || f->index.size() != kFiles * kRoutinesPerFile) state.SkipWithError("index incomplete");
    benchmark::DoNotOptimize(f->index.data());
  }
  state.SetItemsProcessed(state.iterations() * kFiles * kRoutinesPerFile);
}
// 0: fixed layout, 1: segmented, 2: segmented with table of contents.
BENCHMARK(BM_DpiOpen)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
