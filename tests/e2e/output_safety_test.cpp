// Outputs are written whole or not at all: failed writes end the run with
// status 1 and leave the earlier report exactly as it was; a run stopped at
// any moment, by SIGINT or SIGKILL, leaves the previous report or the new
// one, never a mix, and a stopped run removes its temporary files (the next
// run what a killed one left); the importer's two outputs are one
// transaction; runs and imports in one directory take turns; nothing is
// written through a symbolic link, and every page name belongs to one page.
// Outputs named on the command line: a device or /dev/stdout is written
// directly, never replaced; a symbolic link to a file is followed and the
// file replaced; no temporary name goes through a link.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sstream>
#include <thread>

#include "cli_expect.h"
#include "link_check.h"
#include "report_snapshot.h"
#include "spawn.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
namespace pw = profile_writer;

// f<i>, built by appending: "literal" + std::string trips a false -Wrestrict of g++ 12.
std::string f_name(int i) { return std::string(1, 'f').append(std::to_string(i)); }

// `n` sources f<i>.c of `lines` lines each; f<i> ran `count` times.
pw::Program program(int n, uint64_t count) {
  pw::Program p;
  for (int i = 0; i < n; ++i)
    p.modules.push_back(module(f_name(i) + ".c", {pw::routine(f_name(i), 1, 9, {{2, 3, count, {2}}, {5, 3, 0, {5}}})}));
  return p;
}

std::vector<std::pair<std::string, std::string>> sources(int n, int lines) {
  std::ostringstream text;
  for (int l = 1; l <= lines; ++l) text << "  int value_" << l << " = compute(" << l << ");  /* some source text */\n";
  std::vector<std::pair<std::string, std::string>> all;
  for (int i = 0; i < n; ++i) all.emplace_back(f_name(i) + ".c", text.str());
  return all;
}

RunResult run_in(const std::string& cwd, const TempDir& inputs, std::vector<std::string> extra,
                 const std::string& dpi = "t.dpi") {
  std::vector<std::string> args = {"-spi", inputs.file("t.spi"), "-dpi", inputs.file(dpi),
                                   "-srcroot", inputs.file("src"), "-nopmeter"};
  args.insert(args.end(), extra.begin(), extra.end());
  return run_vorelcov(args, cwd, kHostsOwnRules);
}

// A rerun that stops part-way (the second source's view cannot be created:
// a directory has its name) leaves the whole earlier report as it was,
// root page included. Markers given only in the component file are in use
// when the help page is written: its colour table has "Infeasible code".
TEST(OutputSafety, FailedRerunKeepsTheEarlierReport) {
  TempDir dir;
  write_inputs(dir, program(3, 3), sources(3, 10));
  write_file(dir.file("comp.txt"), "ONE_LINE_NOTFEASIBLE: \"NF\"\nf0.c\nf1.c\nf2.c\n");
  ASSERT_EQ(run_inputs(dir, {"-comp", "comp.txt"}).status, 0);
  expect_outputs(dir.path(), "outputs.tsv", "component markers");
  fs::remove(dir.file("CodeCoverage/SRC_F1_C_SRC.HTML"));
  fs::create_directory(dir.file("CodeCoverage/SRC_F1_C_SRC.HTML"));
  const auto before = report_of(dir.path());
  ASSERT_GT(before.size(), 30u);
  RunResult r = run_inputs(dir, {"-counts"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "Cannot open CodeCoverage/SRC_F1_C_SRC.HTML for output!\n");
  EXPECT_EQ(report_of(dir.path()), before);
  EXPECT_EQ(temporaries(dir.path()), std::vector<std::string>{});
}

// Sources named in the working directory: x.c's view X_C_SRC would be
// x_c.src's frame set, __toolbar the toolbar page; a 252-byte name gives
// page names beyond 255 bytes. Each later one gets its own names.
TEST(OutputSafety, PageNamesAreOneToOne) {
  TempDir dir;
  const std::string long_name = std::string(250, 'n') + ".c";
  pw::Program p;
  for (const std::string& name : {std::string("x.c"), std::string("x_c.src"),
                                  std::string("__toolbar"), long_name}) {
    p.modules.push_back(pw::module("", name, {pw::routine("r", 1, 2, {{1, 1, 1}})}));
    write_file(dir.file(name), "text of " + name.substr(0, 8) + "\n");
  }
  pw::write_spi(p, dir.file("t.spi"), pw::SpiLayout::kTextV8);
  pw::write_dpi(p, dir.file("t.dpi"), pw::DpiLayout::kSegmentedToc);
  RunResult r = run_vorelcov({"-spi", "t.spi", "-dpi", "t.dpi", "-nopmeter"}, dir.path(), kHostsOwnRules);
  ASSERT_EQ(r.status, 0) << r.err;
  expect_outputs(dir.path(), "outputs.tsv", "page names");
  const std::string shortened = std::string(224, 'N') + "_";
  int long_pages = 0;
  for (const std::string& page : list_dir(dir.file("CodeCoverage"))) {
    EXPECT_LE(page.size(), 255u);
    if (page.rfind(shortened, 0) == 0) ++long_pages;
  }
  EXPECT_EQ(long_pages, 6);  // frame set, view, covered functions in four orders
  int checked = 0;
  EXPECT_EQ(link_check::broken_links(dir.path(), checked), std::vector<std::string>{});
}

// inl(), of a header compiled into two modules, has one dynamic record that
// both static definitions find by their block count: entered 4 times in
// the one run, its node's frequency is 4, not 8.
TEST(OutputSafety, OneDynamicRecordCountsOnceInTheCallGraph) {
  TempDir dir;
  pw::Routine inl = pw::routine("inl", 1, 3, {{2, 3, 4}});
  inl.function_number = 1;
  pw::Routine copy = inl;
  copy.in_dpi = false;
  pw::Program p;
  p.modules = {{"", "m1.obj", {{"/build/t/", "h.h", {inl}}}},
               {"", "m2.obj", {{"/build/t/", "h.h", {copy}}}}};
  write_inputs(dir, p, {{"h.h", "int inl() {\n  return 4;\n}\n"}});
  ASSERT_EQ(run_in(dir.path(), dir, {"-txtdcg", "cg.txt"}).status, 0);
  EXPECT_EQ(dir.text("cg.txt"), expected_file("call_graph_one_record.txt"));
}

std::string input(const char* name) { return source_dir() + "/tests/e2e/data/import_outputs/" + name; }

TEST(ImportOutputs, AFailedDynamicFileKeepsTheStaticFile) {
  TempDir dir;
  ASSERT_EQ(run_program(importer_path(), {"--keep-external", "--no-markers", "--spi", "t.spi", "--dpi", "t.dpi", input("one.gcov.json")}, dir.path())
                .status, 0);
  const std::string spi = dir.read("t.spi");
  std::filesystem::create_directory(dir.file("d.dpi"));
  RunResult r = run_program(importer_path(), {"--keep-external", "--no-markers", "--spi", "t.spi", "--dpi", "d.dpi", input("two.gcov.json")}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "vorelcov-import-gcov: cannot write d.dpi: Is a directory\n");
  EXPECT_EQ(dir.read("t.spi"), spi);
  EXPECT_EQ(temporaries(dir.path()), std::vector<std::string>{});
}

#ifndef _WIN32  // tmpfs, flock, signals, symbolic links, mount namespaces

// A 200 KB tmpfs at `path`, mounted when the test runs as root.
struct SmallDisk {
  std::string path;
  bool mounted = fs::create_directory(path) && ::geteuid() == 0 &&
                 ::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=200k") == 0;
  ~SmallDisk() {
    if (mounted) ::umount2(path.c_str(), MNT_DETACH);
  }
};

// Outputs that do not fit end the run with status 1 and a message naming
// the file; the disk keeps nothing of the run, and a rerun over a complete
// report on a full disk leaves that report byte for byte.
TEST(OutputSafety, FullDiskFailsTheRunAndKeepsTheEarlierReport) {
  TempDir dir;
  const SmallDisk disk{dir.file("disk")};
  if (!disk.mounted) GTEST_SKIP() << "needs root to mount a 200 KB tmpfs";
  const std::string& cwd = disk.path;
  write_inputs(dir, program(20, 3), sources(20, 120));
  for (const std::vector<std::string>& mode : {std::vector<std::string>{}, {"-txtlcov"}}) {
    RunResult r = run_in(cwd, dir, mode);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("ERROR: writing file "), std::string::npos) << r.err;
    EXPECT_EQ(list_dir(cwd), std::vector<std::string>{});
  }

  write_inputs(dir, program(2, 3), sources(2, 10));
  ASSERT_EQ(run_in(cwd, dir, {}).status, 0);
  const auto before = report_of(cwd);
  write_file(cwd + "/filler", std::string(256 << 10, 'x'));  // fills the disk
  RunResult again = run_in(cwd, dir, {"-counts"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(report_of(cwd), before);
  EXPECT_EQ(temporaries(cwd), std::vector<std::string>{});
}

// Processes blocked on the flock of directory `dir`, from /proc/locks
// ("N: -> FLOCK  ADVISORY  WRITE <pid> <maj>:<min>:<inode> 0 EOF").
int lock_waiters(const std::string& dir) {
  struct stat st {};
  if (::stat(dir.c_str(), &st) != 0) return 0;
  const std::string inode = std::string(":").append(std::to_string(st.st_ino)).append(" ");
  std::istringstream locks(read_file("/proc/locks").value_or(""));
  int waiters = 0;
  for (std::string line; std::getline(locks, line);)
    waiters += line.find("->") != std::string::npos && line.find(inode) != std::string::npos;
  return waiters;
}

// Two runs started while the directory is locked both wait (and say so);
// the report afterwards is the whole report of one of them.
TEST(OutputSafety, ConcurrentRunsTakeTurns) {
  TempDir dir, ref_a, ref_b;
  const pw::Program a = program(12, 3), b = program(12, 0);
  write_inputs(dir, a, sources(12, 30));
  pw::write_dpi(b, dir.file("t2.dpi"), pw::DpiLayout::kSegmentedToc);
  ASSERT_EQ(run_in(ref_a.path(), dir, {}).status, 0);
  ASSERT_EQ(run_in(ref_b.path(), dir, {}, "t2.dpi").status, 0);
  ASSERT_NE(report_of(ref_a.path()), report_of(ref_b.path()));

  const int lock = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  RunResult ra, rb;
  std::thread first([&] { ra = run_in(dir.path(), dir, {}); });
  std::thread second([&] { rb = run_in(dir.path(), dir, {}, "t2.dpi"); });
  for (int i = 0; i < 3000 && lock_waiters(dir.path()) < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(file_exists(dir.file("CodeCoverage")));
  ::flock(lock, LOCK_UN);
  ::close(lock);
  first.join();
  second.join();
  const std::string waiting = "vorelcov: waiting for another vorelcov run in this directory\n";
  for (const RunResult* r : {&ra, &rb}) {
    EXPECT_EQ(r->status, 0);
    EXPECT_EQ(r->err, kScanDone + waiting);
  }
  // The last run's pages are all there, and every page is one run's page
  // (pages only the earlier run wrote stay, as after any rerun).
  const auto report = report_of(dir.path()), pages_a = report_of(ref_a.path()),
             pages_b = report_of(ref_b.path());
  const bool a_last = report.at("CODE_COVERAGE.HTML") == pages_a.at("CODE_COVERAGE.HTML");
  for (const auto& [name, bytes] : a_last ? pages_a : pages_b) EXPECT_EQ(report.at(name), bytes) << name;
  for (const auto& [name, bytes] : report)
    EXPECT_TRUE((pages_a.count(name) && bytes == pages_a.at(name)) ||
                (pages_b.count(name) && bytes == pages_b.at(name)))
        << name;
}

// A link at the report directory stops the run before anything is written;
// a link at a page name is replaced, its target left alone; a page keeps the
// permission bits of the file it replaces.
TEST(OutputSafety, SymbolicLinksAreNotWrittenThrough) {
  TempDir dir;
  write_inputs(dir, program(1, 3), sources(1, 5));
  fs::create_directory(dir.file("elsewhere"));
  fs::create_directory_symlink(dir.file("elsewhere"), dir.file("CodeCoverage"));
  RunResult r = run_in(dir.path(), dir, {});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, kScanDone + "ERROR: CodeCoverage is a symbolic link; the report is not "
                               "written through it.\n");
  EXPECT_EQ(list_dir(dir.file("elsewhere")), std::vector<std::string>{});
  EXPECT_FALSE(file_exists(dir.file("CODE_COVERAGE.HTML")));

  fs::remove(dir.file("CodeCoverage"));
  write_file(dir.file("victim"), "keep");
  fs::create_symlink(dir.file("victim"), dir.file("CODE_COVERAGE.HTML"));
  ASSERT_EQ(run_in(dir.path(), dir, {}).status, 0);
  EXPECT_EQ(dir.text("victim"), "keep");
  EXPECT_FALSE(fs::is_symlink(dir.file("CODE_COVERAGE.HTML")));
  fs::permissions(dir.file("CODE_COVERAGE.HTML"), fs::perms(0640));
  ASSERT_EQ(run_in(dir.path(), dir, {}).status, 0);
  EXPECT_EQ(fs::status(dir.file("CODE_COVERAGE.HTML")).permissions(), fs::perms(0640));
}

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

// An import waits while another process holds the lock of its outputs'
// directory (as a vorelcov run there does) and writes both files after.
TEST(ImportOutputs, ImportsInOneDirectoryTakeTurns) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("out"));
  const int lock = ::open(dir.file("out").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  const pid_t pid = spawn(importer_path(), {"--keep-external", "--no-markers", "--spi", "out/t.spi", "--dpi", "out/t.dpi", input("one.gcov.json")},
                          dir.path());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(list_dir(dir.file("out")), std::vector<std::string>{});
  ::close(lock);
  EXPECT_EQ(wait_for(pid), 0);
  EXPECT_EQ(list_dir(dir.file("out")), (std::vector<std::string>{"t.dpi", "t.spi"}));
}

ino_t inode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::string kind(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return "missing";
  return S_ISLNK(st.st_mode) ? "link" : S_ISCHR(st.st_mode) ? "device" : S_ISREG(st.st_mode) ? "file" : "other";
}

// Devices: the runs go on in a child with a mount namespace of its own,
// whose /dev is a fresh tmpfs holding null and the stdout link, so the
// machine's own /dev is never at risk. The child writes what it finds to
// `state`.
TEST(DeviceOutput, DevicesAndDescriptorLinksAreWrittenDirectly) {
  TempDir dir;
  write_inputs(dir, pw::Program{{module("f.c", {pw::routine("f", 1, 2, {{1, 1, 1, {1}}})})}}, {{"f.c", "f\n"}});
  const pid_t child = ::fork();
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", "/dev", "tmpfs", 0, "size=64k") != 0 ||
        ::mknod("/dev/null", S_IFCHR | 0666, ::makedev(1, 3)) != 0 ||
        ::symlink("/proc/self/fd/1", "/dev/stdout") != 0)
      ::_exit(77);
    const std::vector<std::string> args = {"-spi", "t.spi", "-dpi", "t.dpi", "-srcroot", "src", "-nopmeter",
                                           "-nohtml", "--lcov", "/dev/stdout", "-txtfcvrg", "/dev/null"};
    write_file(dir.file("stdout.txt"), "");
    const ino_t file = inode(dir.file("stdout.txt"));  // the file is written, not replaced
    const int report = wait_for(spawn(vorelcov_path(), args, dir.path(), dir.file("stdout.txt")));
    const int import = wait_for(spawn(importer_path(), {"--keep-external", "--no-markers", "--spi", "/dev/null", "--dpi", "i.dpi", input("one.gcov.json")}, dir.path()));
    std::string state = std::to_string(report) + " " + std::to_string(import) + " " + kind("/dev/stdout") + " " +
                        kind("/dev/null") + (inode(dir.file("stdout.txt")) == file ? " same" : " replaced") + " in /dev:";
    for (const std::string& name : list_dir("/dev")) state += " " + name;
    write_file(dir.file("state"), state);
    ::_exit(0);
  }
  if (wait_for(child) == 77) GTEST_SKIP() << "needs a private mount namespace (unshare -m: root or user namespaces)";
  EXPECT_EQ(dir.read("state"), "0 0 link device same in /dev: null stdout");
  EXPECT_EQ(dir.read("stdout.txt").rfind("TN:\nSF:", 0), 0u) << dir.read("stdout.txt");
  EXPECT_TRUE(file_exists(dir.file("i.dpi")));
}

TEST(DeviceOutput, LinksToFilesAreFollowed) {
  TempDir dir;
  write_inputs(dir, pw::Program{{module("f.c", {pw::routine("f", 1, 2, {{1, 1, 1, {1}}})})}}, {{"f.c", "f\n"}});
  std::filesystem::create_directory(dir.file("lists"));
  std::filesystem::create_symlink("lists/real.txt", dir.file("list.txt"));  // to a name not made yet
  std::filesystem::create_symlink("victim", dir.file("i.spi.part"));       // a trap for a fixed temporary name
  write_file(dir.file("victim"), "keep");
  EXPECT_EQ(run_inputs(dir, {"-nohtml", "-txtfcvrg", "list.txt"}).status, 0);
  EXPECT_EQ(kind(dir.file("list.txt")), "link");
  EXPECT_NE(dir.read("lists/real.txt").find("f"), std::string::npos);
  std::filesystem::create_symlink("lists/real.spi", dir.file("i.spi"));
  write_file(dir.file("lists/real.spi"), "old");
  EXPECT_EQ(run_program(importer_path(), {"--keep-external", "--no-markers", "--spi", "i.spi", "--dpi", "i.dpi", input("one.gcov.json")}, dir.path()).status, 0);
  EXPECT_EQ(kind(dir.file("i.spi")), "link");
  EXPECT_NE(dir.read("lists/real.spi"), "old");
  EXPECT_EQ(dir.read("victim"), "keep");
}

#endif

}  // namespace
}  // namespace e2e

