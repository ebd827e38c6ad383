// Inputs that are not regular files (FIFOs, devices, directories) and
// inputs too large for the importer: each is refused at once with a message
// that names it and says why; nothing blocks, spins or fills the memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>

#include "cli_expect.h"
#include "e2e/program_inputs.h"
#endif

namespace e2e {
namespace {

#ifndef _WIN32

namespace pw = profile_writer;

// A hang is a failure, not a stuck suite.
RunResult run_limited(const std::string& bin, std::vector<std::string> args, const std::string& cwd) {
  const std::string limiter = "/usr/bin/timeout";
  if (::access(limiter.c_str(), X_OK) != 0) return run_program(bin, args, cwd);
  args.insert(args.begin(), {"20", bin});
  return run_program(limiter, args, cwd);
}

// Gzip members of 1 MiB of zeros each, 257 MiB in all: beyond the importer's
// 256 MiB limit on inflated data in about 260 KB.
std::string gzip_bomb() {
  const std::string zeros(1 << 20, '\0');
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY), Z_OK);
  std::string member(deflateBound(&z, zeros.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
  z.avail_in = static_cast<uInt>(zeros.size());
  z.next_out = reinterpret_cast<Bytef*>(member.data());
  z.avail_out = static_cast<uInt>(member.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  member.resize(z.total_out);
  deflateEnd(&z);
  std::string bomb;
  for (int i = 0; i < 257; ++i) bomb += member;
  return bomb;
}

TEST(InputFiles, NonRegularAndOversizedInputsAreRefusedAtOnce) {
  TempDir dir;
  pw::Program p;
  p.modules = {module("m.c", {pw::routine("main", 1, 2, {{1, 1, 1}})})};
  write_inputs(dir, p, {{"m.c", "int main() {\n}\n"}});
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  write_file(dir.file("huge.gcov.json"), "");
  ASSERT_EQ(::truncate(dir.file("huge.gcov.json").c_str(), (off_t{256} << 20) + 1), 0);  // sparse
  write_file(dir.file("bomb.gcov.json.gz"), gzip_bomb());

  const std::string fifo = "not a regular file (a FIFO)";
  const std::string device = "not a regular file (a character device)";
  const std::string limit = "268435456 bytes";
  struct Case {
    std::vector<std::string> args;  // importer runs start with "import"
    std::string source_link;        // what src/m.c becomes, or ""
    int status;
    std::string out, err;           // for vorelcov: after the banner
  } cases[] = {
      {{"-dpi", "fifo"}, "", 1, "", "Couldn't find the dpi file fifo!\nvorelcov: fifo: " + fifo + "\n"},
      {{"-ref", "fifo"}, "", 1, "", "Couldn't find the dpi file fifo!\nvorelcov: fifo: " + fifo + "\n"},
      {{"-comp", "fifo"}, "", 1, "",
       "ERROR: Couldn't open the component file fifo\nvorelcov: fifo: " + fifo + "\n"},
      {{"-txtlcov"}, "/dev/zero", 0, "\nWarning - File src/m.c not found!\n",
       "vorelcov: src/m.c: " + device + "\n"},
      {{"-txtlcov"}, dir.file("fifo"), 0, "\nWarning - File src/m.c not found!\n",
       "vorelcov: src/m.c: " + fifo + "\n"},
      {{"import", "fifo"}, "", 1, "", "vorelcov-import-gcov: fifo: cannot read: " + fifo + "\n"},
      {{"import", "/dev/zero"}, "", 1, "",
       "vorelcov-import-gcov: /dev/zero: cannot read: " + device + "\n"},
      {{"import", "huge.gcov.json"}, "", 1, "",
       "vorelcov-import-gcov: huge.gcov.json: cannot read: larger than the limit of " + limit + "\n"},
      {{"import", "bomb.gcov.json.gz"}, "", 1, "",
       "vorelcov-import-gcov: bomb.gcov.json.gz: decompressed data larger than " + limit + "\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back() + " " + c.source_link);
    std::filesystem::remove(dir.file("src/m.c"));
    if (c.source_link.empty())
      write_file(dir.file("src/m.c"), "int main() {\n}\n");
    else
      std::filesystem::create_symlink(c.source_link, dir.file("src/m.c"));
    RunResult r;
    if (c.args[0] == "import") {
      r = run_limited(importer_path(), {c.args.begin() + 1, c.args.end()}, dir.path());
      EXPECT_EQ(r.err, c.err);
    } else {
      std::vector<std::string> args = {"-spi", "t.spi", "-dpi", "t.dpi", "-srcroot", "src", "-nopmeter"};
      args.insert(args.end(), c.args.begin(), c.args.end());
      r = run_limited(vorelcov_path(), args, dir.path());
      EXPECT_EQ(r.err, kScanDone + c.err);
    }
    EXPECT_EQ(r.status, c.status);
    if (c.status == 0) {
      EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    }
  }
}

#else

TEST(InputFiles, NonRegularAndOversizedInputsAreRefusedAtOnce) {
  GTEST_SKIP() << "FIFOs and /dev/zero are POSIX files";
}

#endif

}  // namespace
}  // namespace e2e
