// Stable storage for the many short names of a profile index.
//
// Names are copied into chunks that never move, so a string_view into the
// arena stays valid for the arena's life, also when the arena itself is
// moved. Each stored name is followed by a NUL, so view.data() is also a C
// string. One allocation per chunk instead of one per name keeps a large
// index to its text and a few bytes.
#pragma once

#include <string_view>
#include <unordered_set>

#include "base/pod_arena.h"

namespace vorel {

class NameArena {
 public:
  // A copy of `s` (NUL-terminated).
  std::string_view add(std::string_view s);
  // The one copy of `s`: equal texts share their storage.
  std::string_view intern(std::string_view s);

 private:
  PodArena<char> chars_;
  std::unordered_set<std::string_view> interned_;
};

}  // namespace vorel
