#include "profile/name_arena.h"

#include <algorithm>

namespace vorel {

std::string_view NameArena::add(std::string_view s) {
  std::span<char> room = chars_.allocate(s.size() + 1);
  std::copy(s.begin(), s.end(), room.begin());
  room[s.size()] = '\0';
  return std::string_view(room.data(), s.size());
}

std::string_view NameArena::intern(std::string_view s) {
  auto it = interned_.find(s);
  if (it != interned_.end()) return *it;
  std::string_view stored = add(s);
  interned_.insert(stored);
  return stored;
}

}  // namespace vorel
