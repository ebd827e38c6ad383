// A run stopped at any moment, by SIGINT or SIGKILL, leaves the previous
// report or the new one, never a mix; a stopped run removes its temporary
// files, and the next run removes what a killed one left.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>

#include <chrono>
#include <random>
#include <thread>

#include "report_snapshot.h"
#include "spawn.h"

namespace e2e {
namespace {

namespace pw = profile_writer;
using Clock = std::chrono::steady_clock;

TEST(InterruptedRun, StoppedRunsLeaveOneWholeReport) {
  constexpr int kFiles = 1000, kRounds = 8;
  TempDir in, ref_a, ref_b, work;
  write_inputs(in, many_files(kFiles, 3), many_sources(kFiles));
  // The same pages with other counts: files the new run does not write stay
  // from the old report, which would make a third report.
  pw::write_dpi(many_files(kFiles, 5), in.file("t2.dpi"), pw::DpiLayout::kSegmentedToc);
  auto args = [&](int which) {
    return std::vector<std::string>{"-spi", in.file("t.spi"), "-dpi", in.file(which ? "t2.dpi" : "t.dpi"),
                                    "-srcroot", in.file("src"), "-nopmeter", "-counts"};
  };
  ASSERT_EQ(run_vorelcov(args(0), ref_a.path()).status, 0);
  ASSERT_EQ(run_vorelcov(args(1), ref_b.path()).status, 0);
  const std::map<std::string, std::string> reports[2] = {report_of(ref_a.path()), report_of(ref_b.path())};
  ASSERT_GT(reports[0].size(), 3000u);
  ASSERT_TRUE(reports[0] != reports[1]);

  // Names an earlier version left (PID 1 in a container) go with the next run.
  ASSERT_EQ(run_vorelcov(args(0), work.path()).status, 0);
  for (const char* name : {".vorelcov-1-0.tmp", ".vorelcov-1-999.tmp", "CodeCoverage/.vorelcov-1-5.tmp"})
    write_file(work.file(name), "left by a killed run");
  const Clock::time_point start = Clock::now();  // a run over a report, as in the rounds below
  ASSERT_EQ(run_vorelcov(args(0), work.path()).status, 0);
  const auto run_time = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
  EXPECT_EQ(temporaries(work.path()), std::vector<std::string>{});

  const unsigned seed = std::random_device()();
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> moment(0, run_time.count() * 11 / 10);
  int current = 0, stopped_part_way = 0;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round));
    const int next = 1 - current, sig = round % 2 ? SIGKILL : SIGINT;
    const pid_t pid = spawn(vorelcov_path(), args(next), work.path());
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(pid, sig);
    const int status = wait_for(pid);
    ASSERT_TRUE(status == 0 || status == 128 + sig) << status;
    stopped_part_way += status != 0;
    // Killed during its few renames, a run leaves a commit record for the
    // next one to finish.
    bool commit_pending = false;
    for (const std::string& name : temporaries(work.path()))
      commit_pending = commit_pending || name.substr(name.size() - 7) == ".commit";
    if (!commit_pending) {
      const auto report = report_of(work.path());
      EXPECT_TRUE(report == reports[current] || report == reports[next]);
    }
    if (sig == SIGINT) {
      EXPECT_EQ(temporaries(work.path()), std::vector<std::string>{});
    }

    // The next run takes the lock, finishes or removes what was left, then
    // stops at once: its list cannot be written.
    std::vector<std::string> failing = args(next);
    failing.insert(failing.end(), {"-txtfcvrg", "missing/list.txt"});
    EXPECT_EQ(run_vorelcov(failing, work.path()).status, 1);
    EXPECT_EQ(temporaries(work.path()), std::vector<std::string>{});
    const auto report = report_of(work.path());
    ASSERT_TRUE(report == reports[current] || report == reports[next]);
    if (report == reports[next]) current = next;
  }
  EXPECT_GT(stopped_part_way, kRounds / 4);
}

}  // namespace
}  // namespace e2e
#endif
