// Writes a large synthetic program for the timing script: C-like source files
// plus matching static and dynamic profiles.
//
//   gen_program --out DIR [--files N] [--routines R] [--lines L] [--blocks B]
//               [--executed F] [--dirs D] [--markers] [--comp] [--seed S]
//
// DIR/src/d<k>/file<n>.c   N files of R routines of L lines each (after a
//                          two-line file head), every routine with B blocks
// DIR/prog.spi             text v8 layout, line maps for every block (so
//                          -txtlcov works)
// DIR/prog.dpi             segmented layout with a table of contents
// DIR/sources.txt          the source paths relative to DIR, one a line
// DIR/prog.comp            with --comp: one inclusion per directory and an
//                          exclusion that matches nothing, so the report
//                          covers the same files as without it
//
// The profiles store the root /build/bench/; run vorelcov with -srcroot DIR.
// A routine is a header line, "{", L-3 statement lines and "}". Blocks split
// the statement lines into runs. A routine runs with probability F; in a
// routine that runs, the first block runs and each other block does with
// probability F. With --markers one
// statement line of every routine ends in the comment "// NOTFEASIBLE_LINE",
// to be passed as -onelinedsbl NOTFEASIBLE_LINE. Output is deterministic for
// a given seed.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

#include "profile_writer/program.h"

namespace pw = profile_writer;

namespace {

struct Shape {
  std::string out;
  uint32_t files = 1, routines = 10, lines = 12, blocks = 3, dirs = 0;
  double executed = 0.7;
  bool markers = false, comp = false;
  uint64_t seed = 1;
};

const char kRoot[] = "/build/bench/";
const char kMarker[] = "NOTFEASIBLE_LINE";

[[noreturn]] void usage(const char* why) {
  std::fprintf(stderr,
               "gen_program: %s\n"
               "usage: gen_program --out DIR [--files N] [--routines R] [--lines L] [--blocks B]\n"
               "                   [--executed F] [--dirs D] [--markers] [--comp] [--seed S]\n",
               why);
  std::exit(2);
}

uint32_t to_u32(const char* text, const char* option) {
  char* end = nullptr;
  unsigned long v = std::strtoul(text, &end, 10);
  if (*text == '\0' || *end != '\0' || v == 0 || v > 100'000'000) usage(option);
  return static_cast<uint32_t>(v);
}

Shape parse(int argc, char** argv) {
  Shape s;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) usage("missing value");
      return argv[++i];
    };
    if (a == "--out") s.out = value();
    else if (a == "--files") s.files = to_u32(value(), "bad --files");
    else if (a == "--routines") s.routines = to_u32(value(), "bad --routines");
    else if (a == "--lines") s.lines = to_u32(value(), "bad --lines");
    else if (a == "--blocks") s.blocks = to_u32(value(), "bad --blocks");
    else if (a == "--dirs") s.dirs = to_u32(value(), "bad --dirs");
    else if (a == "--seed") s.seed = to_u32(value(), "bad --seed");
    else if (a == "--executed") {
      s.executed = std::strtod(value(), nullptr);
      if (!(s.executed >= 0 && s.executed <= 1)) usage("--executed takes a fraction 0..1");
    } else if (a == "--markers") s.markers = true;
    else if (a == "--comp") s.comp = true;
    else usage("unknown argument");
  }
  if (s.out.empty()) usage("--out is required");
  if (s.lines < 4) usage("--lines must be at least 4");
  if (s.dirs == 0) s.dirs = s.files < 10 ? s.files : 10;
  if (s.dirs > s.files) s.dirs = s.files;
  return s;
}

void make_dir(const std::string& path) {
  if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
    std::fprintf(stderr, "gen_program: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
    std::exit(1);
  }
}

// A stdio stream with a large buffer; any failure ends the program.
class Output {
 public:
  explicit Output(const std::string& path) : path_(path), fp_(std::fopen(path.c_str(), "wb")) {
    if (!fp_) fail();
    std::setvbuf(fp_, nullptr, _IOFBF, 1 << 20);
  }
  ~Output() {
    if (std::fclose(fp_) != 0) fail();
  }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  void put(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), fp_) != text.size()) fail();
  }

 private:
  [[noreturn]] void fail() {
    std::fprintf(stderr, "gen_program: cannot write %s\n", path_.c_str());
    std::exit(1);
  }
  std::string path_;
  std::FILE* fp_;
};

// Statement lines in C; some carry '<', '>', '&' or '"' for the escaper.
std::string statement(std::mt19937_64& rng, uint32_t line_in_routine) {
  char buf[160];
  uint32_t k = static_cast<uint32_t>(rng() % 100);
  uint32_t v = static_cast<uint32_t>(rng() % 1000);
  switch (line_in_routine % 6) {
    case 0: std::snprintf(buf, sizeof buf, "    x = x * %u + a;", v); break;
    case 1: std::snprintf(buf, sizeof buf, "    if (x < %u && a > 0) x &= 0x%x;", v, k); break;
    case 2: std::snprintf(buf, sizeof buf, "    total += table[(x >> 2) %% %u];", k + 1); break;
    case 3: std::snprintf(buf, sizeof buf, "    log_value(\"step <%u> of a & b\", x);", v); break;
    case 4: std::snprintf(buf, sizeof buf, "    y = (y << 1) | (x & %u);", k); break;
    default: std::snprintf(buf, sizeof buf, "    a = compute(a, y, %u);", v); break;
  }
  return buf;
}

// Writes one source file and returns its routines.
std::vector<pw::Routine> write_source(const Shape& s, const std::string& path, uint32_t file_no,
                                      std::mt19937_64& rng) {
  Output out(path);
  out.put("/* Generated benchmark source: do not edit. */\n#include \"bench.h\"\n");
  uint32_t line = 3;  // first routine header
  const uint32_t statements = s.lines - 3;
  const uint32_t marker_at = statements > 1 ? 1 : 0;
  const uint64_t threshold = static_cast<uint64_t>(s.executed * 1'000'000);
  std::vector<pw::Routine> routines;
  routines.reserve(s.routines);
  std::string text;
  for (uint32_t r = 0; r < s.routines; ++r) {
    const uint32_t start = line;
    const std::string name = "f" + std::to_string(file_no) + "_r" + std::to_string(r);
    text.clear();
    text += "int " + name + "(int a, const char *s)\n{\n";
    for (uint32_t i = 0; i < statements; ++i) {
      text += i + 1 == statements ? std::string("    return x + y;") : statement(rng, i);
      if (s.markers && i == marker_at) {
        text += " // ";
        text += kMarker;
      }
      text += '\n';
    }
    text += "}\n";
    out.put(text);
    line += s.lines;

    // Blocks: contiguous runs of statement lines; when there are more blocks
    // than lines, the extra ones sit further right on the last line.
    std::vector<pw::BlockAt> blocks(s.blocks);
    const bool runs = rng() % 1'000'000 < threshold;
    uint32_t prev_first = UINT32_MAX, col = 5;
    for (uint32_t b = 0; b < s.blocks; ++b) {
      uint32_t first = static_cast<uint32_t>(uint64_t{b} * statements / s.blocks);
      uint32_t last = static_cast<uint32_t>(uint64_t{b + 1} * statements / s.blocks);
      if (last > first) --last;
      col = first == prev_first ? col + 4 : 5;
      prev_first = first;
      pw::BlockAt& block = blocks[b];
      block.line = start + 2 + first;
      block.col = col;
      for (uint32_t l = first; l <= last; ++l) block.lines.push_back(start + 2 + l);
      if (runs && (b == 0 || rng() % 1'000'000 < threshold)) block.count = 1 + rng() % 1000;
    }
    pw::Routine routine = pw::routine(name, start, start + s.lines - 1, blocks);
    routine.address = 0x400000 + (uint64_t{file_no} * s.routines + r) * 64;
    routines.push_back(std::move(routine));
  }
  return routines;
}

}  // namespace

int main(int argc, char** argv) {
  const Shape s = parse(argc, argv);
  make_dir(s.out);
  make_dir(s.out + "/src");
  for (uint32_t d = 0; d < s.dirs; ++d) make_dir(s.out + "/src/d" + std::to_string(d));

  std::mt19937_64 rng(s.seed);
  pw::Program program;
  program.modules.reserve(s.files);
  Output list(s.out + "/sources.txt");
  for (uint32_t f = 0; f < s.files; ++f) {
    const std::string dir = "d" + std::to_string(f % s.dirs);
    const std::string source = "src/" + dir + "/file" + std::to_string(f) + ".c";
    list.put(source + "\n");
    pw::Module m;
    m.root = kRoot;
    m.name = "obj/" + dir + "/file" + std::to_string(f) + ".o";
    m.files.push_back(pw::SourceFile{kRoot, source, write_source(s, s.out + "/" + source, f, rng)});
    program.modules.push_back(std::move(m));
  }
  pw::write_spi(program, s.out + "/prog.spi", pw::SpiLayout::kTextV8);
  pw::write_dpi(program, s.out + "/prog.dpi", pw::DpiLayout::kSegmentedToc);

  if (s.comp) {
    Output comp(s.out + "/prog.comp");
    for (uint32_t d = 0; d < s.dirs; ++d) comp.put("src/d" + std::to_string(d) + "/\n");
    comp.put("~/no_such_dir/\n");
  }
  std::printf("%s: %u files, %" PRIu64 " routines, %" PRIu64 " lines, %" PRIu64 " blocks\n",
              s.out.c_str(), s.files, uint64_t{s.files} * s.routines,
              uint64_t{s.files} * (2 + uint64_t{s.routines} * s.lines),
              uint64_t{s.files} * s.routines * s.blocks);
  return 0;
}
