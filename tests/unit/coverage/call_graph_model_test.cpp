// The call graph's float-to-count truncation.
#include "coverage/call_graph_model.h"

#include <gtest/gtest.h>

#include <cmath>

#include "profile/dpi.h"
#include "profile/spi.h"

namespace vorel {
namespace {

TEST(CallGraphBuild, TruncationIsSafeForAnyFloat) {
  const std::pair<double, uint64_t> cases[] = {
      {4.5, 4}, {-3.0, 0}, {std::nan(""), 0}, {1e30, UINT64_MAX}, {static_cast<float>(UINT64_MAX), UINT64_MAX}};
  for (const auto& [v, t] : cases) EXPECT_EQ(cg_truncate(v), t) << v;
}

}  // namespace
}  // namespace vorel
