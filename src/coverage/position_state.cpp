#include "coverage/position_state.h"

namespace vorel {

int position_state(bool differential, uint64_t count, bool is_new, uint32_t blocks,
                   uint32_t covered, bool last_block) {
  if (differential) {
    if (count == 0) return 3;                        // nothing new here
    if (!is_new && count != kNeverExecuted) return 5;  // new in a routine that ran before
    return 6;                                        // code of a newly covered routine
  }
  if (last_block && blocks == 0) return 2;
  if (count == 0) return 5;
  if (count != kNeverExecuted) return covered == blocks ? 3 : 4;
  return 6;
}

}  // namespace vorel
