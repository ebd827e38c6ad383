// Inputs that are not regular files (FIFOs, devices, directories) and
// inputs too large for the importer: each is refused at once with a message
// that names it and says why; nothing blocks, spins or fills the memory.
// The dynamic profile file given on the command line: what a user sees for
// good, rejected and corrupt files. None of these runs has a static profile
// file, so a dynamic file that opens ends in "Couldn't find the spi file".
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#endif

#include "cli_expect.h"
#include "e2e/program_inputs.h"
#include "profile_writer/dpi_writer.h"

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
// 256 MiB limit on inflated data in a small file.
void write_gzip_bomb(const std::string& path) {
  const std::string zeros(1 << 20, '\0');
  gzFile gz = gzopen(path.c_str(), "wb1");
  for (int i = 0; i < 257; ++i) {
    EXPECT_EQ(gzwrite(gz, zeros.data(), static_cast<unsigned>(zeros.size())), static_cast<int>(zeros.size()));
    gzflush(gz, Z_FINISH);  // ends the member: the next write starts another
  }
  gzclose(gz);
}

TEST(InputFiles, NonRegularAndOversizedInputsAreRefusedAtOnce) {
  TempDir dir;
  pw::Program p;
  p.modules = {module("m.c", {pw::routine("main", 1, 2, {{1, 1, 1}})})};
  write_inputs(dir, p, {{"m.c", "int main() {\n}\n"}});
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  write_file(dir.file("huge.gcov.json"), "");
  ASSERT_EQ(::truncate(dir.file("huge.gcov.json").c_str(), (off_t{256} << 20) + 1), 0);  // sparse
  write_gzip_bomb(dir.file("bomb.gcov.json.gz"));

  // Rows: arguments (importer runs start with "import"), what src/m.c
  // becomes (or ""), status, a part of stdout, stderr (after the banner).
  const std::vector<std::pair<std::string, std::string>> values = {
      {"fifo", "not a regular file (a FIFO)"}, {"device", "not a regular file (a character device)"},
      {"limit", "268435456 bytes"}, {"dir", dir.path()}};
  for (const auto& row : expected_rows("input_files.tsv")) {
    SCOPED_TRACE(row.at(0) + " " + row.at(1));
    const std::vector<std::string> words_of = words(row[0]);
    const std::string link = filled(row[1], values), err = filled(row.at(4), values);
    std::filesystem::remove(dir.file("src/m.c"));
    if (link.empty())
      write_file(dir.file("src/m.c"), "int main() {\n}\n");
    else
      std::filesystem::create_symlink(link, dir.file("src/m.c"));
    RunResult r;
    if (words_of[0] == "import") {
      r = run_limited(importer_path(), {words_of.begin() + 1, words_of.end()}, dir.path());
      EXPECT_EQ(r.err, err);
    } else {
      std::vector<std::string> args = {"-spi", "t.spi", "-dpi", "t.dpi", "-srcroot", "src", "-nopmeter"};
      args.insert(args.end(), words_of.begin(), words_of.end());
      r = run_limited(vorelcov_path(), args, dir.path());
      EXPECT_EQ(r.err, kScanDone + err);
    }
    EXPECT_EQ(r.status, std::stoi(row[2]));
    EXPECT_NE(r.out.find(row[3]), std::string::npos) << r.out;
  }
}

#endif  // POSIX: FIFOs and /dev/zero

using profile_writer::DpiLayout;
using profile_writer::dpi_image;

// Two routines "main" of two blocks under one lookup key.
profile_writer::Program program(uint32_t runs = 2) {
  profile_writer::Routine r = profile_writer::routine("main", 0, 0, {{0, 0, 4}, {}});
  profile_writer::Program p;
  p.runs = runs;
  p.modules = {{"", "m.obj", {{"/src/", "a.c", {r, r}}}}};
  return p;
}

TEST(DynamicProfileCli, GoodRejectedAndCorruptFiles) {
  TempDir dir;
  const std::string no_spi = "Couldn't find the spi file zentra.spi!\n";
  // Two routines under one key: one warning, then the run goes on. The
  // source root is the working directory; the fixed layout keeps its names.
  const std::string duplicate =
      "vorelcov: warning #11014: Multiple profile entries in zentra.dpi match lookup key, main'";
  const profile_writer::DpiImage image = dpi_image(program(), DpiLayout::kSegmented);
  std::string corrupt = image.bytes;
  corrupt[image.record_pos[0] + 16] = '\x7F';  // block count far beyond the record
  corrupt[image.record_pos[0] + 19] = '\x7F';
  char offset[32];
  std::snprintf(offset, sizeof offset, "0x%zx", image.bytes.size());
  const struct {
    std::string bytes;
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {dpi_image(program(), DpiLayout::kFixed).bytes, {}, duplicate + host_name("/src/a.c") + "'\n" + no_spi},
      {image.bytes, {}, duplicate + host_name(dir.path() + "/a.c") + "'\n" + no_spi},
      {dpi_image(program(), DpiLayout::kSegmentedToc).bytes, {},
       duplicate + host_name(dir.path() + "/a.c") + "'\n" + no_spi},
      {image.bytes, {"-multiple-definitions"}, no_spi},
      // The reference file is opened after the static one.
      {image.bytes, {"-ref", "missing.dpi", "-multiple-definitions"}, no_spi},
      {image.bytes + profile_writer::segment(0x1234, "x"), {"-multiple-definitions"},
       "vorelcov: warning #11010: File 'zentra.dpi' is corrupt. Unrecognized segment id, 0x1234, at "
       "offset, " + std::string(offset) + ".\nCouldn't find the dpi file zentra.dpi!\n"},
      {corrupt, {}, "vorelcov: error #11004: File 'zentra.dpi' is corrupt.\n"},
      {dpi_image(program(0), DpiLayout::kFixed).bytes, {},
       "vorelcov: error #11016: zentra.dpi records no program runs; its execution counts cannot be "
       "used. Rerun the instrumented program.\n"},
      {std::string(600, 'x'), {},
       "vorelcov: warning #11007: zentra.dpi has unrecognized dpi file header, ignored.\n"
       "vorelcov: error #11008: Can't read .dpi file, zentra.dpi\n"},
  };
  for (const auto& c : cases) {
    write_file(dir.file("zentra.dpi"), c.bytes);
    RunResult r = run_vorelcov(c.args, dir.path(), kHostsOwnRules);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, kScanDone + c.err);
  }
}

}  // namespace
}  // namespace e2e
