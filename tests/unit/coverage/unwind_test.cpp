// Unwind-handler clones (position mode 3): a handler takes a clone of every
// ordinary block at the nearest preceding position.
#include "coverage/unwind.h"

#include <gtest/gtest.h>

#include "capture.h"
#include "profile/dpi.h"

namespace vorel {
namespace {

struct B {
  uint32_t line, column;
  uint64_t count;
  bool handler;
};

constexpr uint64_t kMode3 = 0x80000 | 0x10, kMode2 = 0x20000 | 0x10;

TEST(Unwind, ClonePass) {
  const struct {
    const char* what;
    uint64_t flags;
    std::vector<B> blocks;
    std::string added;  // "line,column=count" of the blocks added
    const char* trace;  // nullptr: not looked at
  } cases[] = {
      {"same position as its block: no clone", kMode3, {{10, 5, 7, false}, {10, 5, 0, true}}, "",
       "No clones needed. Code block has same position as unwind handler: 10, 5\n"},
      {"every block at the preceding position", kMode3,
       {{10, 5, 3, false}, {10, 5, 4, false}, {12, 1, 0, true}, {9, 1, 100, false}}, "12,1=3 12,1=4 ",
       "Will create 2 clone blocks for unwind handler @ 12,1\n"},
      {"no predecessor", kMode3, {{5, 1, 0, true}, {9, 1, 2, false}}, "",
       "Cannot process unwind block at 5,1. No predecessor block for an unwind handler.\n"},
      {"stepping back over handlers, once per position", kMode3,
       {{1, 1, 1, false}, {2, 1, 2, false}, {3, 1, 0, true}, {3, 1, 0, true}, {4, 1, 0, true}},
       "3,1=2 4,1=2 ", nullptr},
      {"a handler without position acts as an ordinary block", kMode3,
       {{0, 0, 6, true}, {3, 2, 0, true}}, "3,2=6 ", nullptr},
      {"only position mode 3", kMode2, {{1, 1, 5, false}, {2, 1, 0, true}}, "", ""},
      {"no handler", kMode3, {{1, 1, 5, false}, {2, 1, 0, false}}, "", ""},
  };
  for (const auto& c : cases) {
    DpiRoutine r;
    r.flags = c.flags;
    r.block_cnt = static_cast<uint32_t>(c.blocks.size());
    for (const B& b : c.blocks) r.blocks.push_back(DpiBlock{b.count, b.line, b.column, 0, 0, b.handler});
    DpiRoutine silent = r;  // without the trace bit the pass says nothing
    EXPECT_EQ(test_support::capture([&] { unwind_clone_pass(silent); }).err, "") << c.what;
    set_trace_mask(kTraceUnwind);
    auto io = test_support::capture([&] { unwind_clone_pass(r); });
    set_trace_mask(0);
    std::string added;
    for (size_t i = c.blocks.size(); i < r.blocks.size(); ++i)
      added += std::to_string(r.blocks[i].start_line) + "," + std::to_string(r.blocks[i].start_col) + "=" +
               std::to_string(r.blocks[i].count) + " ";
    EXPECT_EQ(added, c.added) << c.what;
    EXPECT_EQ(r.block_cnt, r.blocks.size()) << c.what;
    EXPECT_EQ(silent.blocks.size(), r.blocks.size()) << c.what;
    if (c.trace) {
      EXPECT_EQ(io.err, c.trace) << c.what;
    }
  }
}

}  // namespace
}  // namespace vorel
