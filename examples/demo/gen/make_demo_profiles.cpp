// Writes the profiles of the grade book demo (examples/demo/src):
//   make_demo_profiles <output directory>   ->   demo.spi, demo.dpi
//
// The description below is the instrumented build of the demo: one module per
// source file, stored under the root /home/dev/gradebook/, so that a run with
// -srcroot <this example's directory> finds the sources under src/. A block
// starts at the column of its first statement (or, for the parts of a for
// statement, of its condition and increment) and its line map lists the lines
// its code spans.
//
// The counts are those of two runs of the program, "demo" and "demo -v",
// summed. Both runs see the same six scores 93 78 85 61 47 88 (grades A C B D
// F B; 47 fails), so every routine that runs in both runs counts twice what
// one run does. "-v" additionally prints the class table. Nothing ever calls
// usage, die, score_range, dump_scores or selftest.
#include <cstdio>
#include <string>
#include <vector>

#include "profile_writer/program.h"

namespace pw = profile_writer;

namespace {

pw::Routine routine(const std::string& name, uint32_t start, uint32_t end,
                    std::vector<pw::BlockAt> blocks, bool is_static = false) {
  pw::Routine r = pw::routine(name, start, end, blocks);
  r.is_static = is_static;
  r.external = !is_static;
  return r;
}

const std::string kRoot = "/home/dev/gradebook/";

pw::Module module(const std::string& object, const std::string& source,
                  std::vector<pw::Routine> routines) {
  pw::SourceFile file{kRoot, source, std::move(routines)};
  return pw::Module{kRoot, object, {file}};
}

pw::Module main_c() {
  return module("obj/main.o", "src/main.c", {
    // Never called: main's argument check passes in both runs.
    routine("usage", 19, 23, {{21, 5, 0, {21, 22}}}, true),
    // Runs twice; argc > 1 only with -v, whose check passes (verbose = 1).
    // Line 39: the condition and the else branch run, die() never.
    routine("main", 25, 52, {
      {27, 5, 2, {27, 29, 30, 32}}, {33, 9, 1, {33}}, {34, 13, 0, {34, 35}},
      {37, 9, 1, {37}}, {39, 5, 2, {39}}, {39, 17, 0, {39}}, {39, 47, 2, {39}},
      {41, 5, 2, {41, 42, 43, 44, 45, 47, 48}}, {49, 9, 1, {49}}, {50, 5, 2, {50, 51}}}),
  });
}

pw::Module stats_c() {
  return module("obj/stats.o", "src/stats.c", {
    // One call per run; the loop tests i < n 6 times and runs 5 times per
    // call; the minimum drops 3 times per call (78, 61, 47).
    routine("min_score", 4, 12, {
      {6, 5, 2, {6, 8}}, {8, 17, 12, {8}}, {9, 9, 10, {9}}, {10, 13, 6, {10}},
      {8, 24, 10, {8}}, {11, 5, 2, {11}}}),
    // As min_score, but 93 comes first: the maximum never changes.
    routine("max_score", 14, 22, {
      {16, 5, 2, {16, 18}}, {18, 17, 12, {18}}, {19, 9, 10, {19}}, {20, 13, 0, {20}},
      {18, 24, 10, {18}}, {21, 5, 2, {21}}}),
    // One call per run; 7 tests and 6 iterations per call.
    routine("mean_score", 24, 31, {
      {26, 5, 2, {26, 28}}, {28, 17, 14, {28}}, {29, 9, 12, {29}}, {28, 24, 12, {28}},
      {30, 5, 2, {30}}}),
    // One call per run (from median_score) on 93 78 85 61 47 88. Per call the
    // outer loop tests 6 times and runs 5 times; the inner loop tests j >= 0
    // 2+2+4+5+2 = 15 times, compares 1+2+3+4+2 = 12 times, shifts
    // 1+1+3+4+1 = 10 times.
    routine("sort_scores", 34, 44, {
      {38, 10, 2, {38}}, {38, 17, 12, {38}}, {39, 9, 10, {39, 40}}, {40, 25, 30, {40}},
      {40, 35, 24, {40}}, {41, 13, 20, {41}}, {40, 52, 20, {40}}, {42, 9, 10, {42}},
      {38, 24, 10, {38}}}),
    // One call per run; n = 6 is within bounds and even: line 56 runs its
    // condition and the else branch only.
    routine("median_score", 46, 57, {
      {51, 5, 2, {51}}, {52, 9, 0, {52}}, {53, 10, 2, {53}}, {53, 17, 14, {53}},
      {54, 9, 12, {54}}, {53, 24, 12, {53}}, {55, 5, 2, {55, 56}}, {56, 16, 0, {56}},
      {56, 43, 2, {56}}}),
    routine("score_range", 59, 62, {{61, 5, 0, {61}}}),
  });
}

pw::Module grade_c() {
  return module("obj/grade.o", "src/grade.c", {
    // 18 calls: 6 per run from count_grades, 6 more from print_table with -v;
    // each set of six holds A 1, B 2, C 1, D 1, F 1.
    routine("letter_grade", 6, 17, {
      {8, 5, 18, {8}}, {9, 9, 3, {9}}, {10, 5, 15, {10}}, {11, 9, 6, {11}},
      {12, 5, 9, {12}}, {13, 9, 3, {13}}, {14, 5, 6, {14}}, {15, 9, 3, {15}},
      {16, 5, 3, {16}}}),
    // 6 calls per run from count_passed.
    routine("passed", 19, 22, {{21, 5, 12, {21}}}),
    // One call per run: the clearing loop tests 6 times and runs 5 times, the
    // grading loop tests 7 times and runs 6 times per call.
    routine("count_grades", 24, 39, {
      {28, 10, 2, {28}}, {28, 17, 12, {28}}, {29, 9, 10, {29}}, {28, 24, 10, {28}},
      {30, 10, 2, {30}}, {30, 17, 14, {30}}, {31, 9, 12, {31}}, {32, 19, 2, {32}},
      {33, 19, 4, {33}}, {34, 19, 2, {34}}, {35, 19, 2, {35}}, {36, 19, 2, {36}},
      {30, 24, 12, {30}}}),
    // One call per run: 5 pass, 1 fails (47).
    routine("count_passed", 41, 49, {
      {43, 5, 2, {43, 45}}, {45, 17, 14, {45}}, {46, 9, 12, {46}}, {46, 33, 10, {46}},
      {46, 46, 2, {46}}, {45, 24, 12, {45}}, {47, 5, 2, {47, 48}}}),
  });
}

pw::Module report_c() {
  return module("obj/report.o", "src/report.c", {
    // Only with -v: one call, 7 tests, 6 rows.
    routine("print_table", 8, 15, {
      {12, 5, 1, {12, 13}}, {13, 17, 7, {13}}, {14, 9, 6, {14}}, {13, 24, 6, {13}}}),
    // 5 calls per run with counts 1 2 1 1 1: widths 4 8 4 4 4, so per run
    // 24 '#' and 24 + 5 loop tests.
    routine("print_bar", 17, 25, {
      {19, 5, 10, {19, 21, 22}}, {22, 17, 58, {22}}, {23, 9, 48, {23}}, {22, 28, 48, {22}},
      {24, 5, 10, {24}}}, true),
    routine("print_histogram", 27, 33, {
      {31, 10, 2, {31}}, {31, 17, 12, {31}}, {32, 9, 10, {32}}, {31, 24, 10, {31}}}),
  });
}

pw::Module util_c() {
  return module("obj/util.o", "src/util.c", {
    // 10 calls from print_bar with 4 or 8 in 0..40.
    routine("clamp", 7, 14, {
      {9, 5, 10, {9}}, {10, 9, 0, {10}}, {11, 5, 10, {11}}, {12, 9, 0, {12}},
      {13, 5, 10, {13}}}),
    // 2 calls from mean_score, never with 0 (line 19 is marked infeasible).
    routine("safe_div", 16, 21, {{18, 5, 2, {18}}, {19, 9, 0, {19}}, {20, 5, 2, {20}}}),
    routine("die", 23, 27, {{25, 5, 0, {25, 26}}}),
    // Inside the infeasible region of lines 29 to 37.
    routine("dump_scores", 30, 36, {
      {34, 10, 0, {34}}, {34, 17, 0, {34}}, {35, 9, 0, {35}}, {34, 24, 0, {34}}}),
  });
}

pw::Module selftest_c() {
  return module("obj/selftest.o", "src/selftest.c", {
    routine("selftest", 5, 16, {
      {7, 5, 0, {7, 9}}, {10, 9, 0, {10}}, {11, 5, 0, {11}}, {12, 9, 0, {12}},
      {13, 5, 0, {13}}, {14, 9, 0, {14}}, {15, 5, 0, {15}}}),
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
    return 2;
  }
  pw::Program program;
  program.runs = 2;
  program.header_string = "gradebook demo";
  program.modules = {main_c(), stats_c(), grade_c(), report_c(), util_c(), selftest_c()};
  const std::string dir = argv[1];
  std::string error;
  if (!pw::write_spi(program, dir + "/demo.spi", pw::SpiLayout::kTextV8, &error) ||
      !pw::write_dpi(program, dir + "/demo.dpi", pw::DpiLayout::kSegmentedToc, &error)) {
    std::fprintf(stderr, "make_demo_profiles: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
