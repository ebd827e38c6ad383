#include "base/ordered_work.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "base/diag.h"

namespace vorel {
namespace {

// Unit `u` of `units`: the earlier units run longer on their workers, so
// they complete out of order; unit `fail` stops the run in its worker step
// (`in_here`: in its first step). Returns stdout + "|" + stderr.
std::string run_units(unsigned threads, int units, int fail, int* status, bool in_here = false) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  *status = -1;
  try {
    OrderedWork pool(threads, 3);
    for (int u = 0; u < units; ++u)
      pool.add([u, fail, in_here] {
                 print_err("h%d ", u);
                 if (u == fail && in_here) fatal_exit(8);
               },
               [u, units, fail] {
                 std::this_thread::sleep_for(std::chrono::milliseconds(2 * (units - u)));
                 print_err("t%d ", u);
                 if (u == fail) fatal_exit(7);
                 print_out("o%d ", u);
               },
               [u] { print_out("a%d ", u); });
    pool.finish();
  } catch (const FatalExit& e) {
    *status = e.status;
  }
  const std::string out = testing::internal::GetCapturedStdout();
  return out + "|" + testing::internal::GetCapturedStderr();
}

// Every thread count gives the one-thread output; a stop in unit 2 prints
// what came before it and its own output up to the stop, nothing later.
TEST(OrderedWork, OutputInUnitOrder) {
  for (unsigned threads : {1u, 2u, 4u}) {
    int status = 0;
    EXPECT_EQ(run_units(threads, 5, 99, &status),
              "o0 a0 o1 a1 o2 a2 o3 a3 o4 a4 |h0 t0 h1 t1 h2 t2 h3 t3 h4 t4 ")
        << threads;
    EXPECT_EQ(status, -1);
    EXPECT_EQ(run_units(threads, 6, 2, &status), "o0 a0 o1 a1 |h0 t0 h1 t1 h2 t2 ") << threads;
    EXPECT_EQ(status, 7);
    EXPECT_EQ(run_units(threads, 6, 2, &status, true), "o0 a0 o1 a1 |h0 t0 h1 t1 h2 ") << threads;
    EXPECT_EQ(status, 8);
  }
}

}  // namespace
}  // namespace vorel
