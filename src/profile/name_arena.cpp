#include "profile/name_arena.h"

#include <cstring>

namespace vorel {

std::string_view NameArena::add(std::string_view s) {
  const size_t need = s.size() + 1;
  if (need > left_) {
    // A name longer than a chunk gets a chunk of its own; the current
    // chunk's rest stays in use for the names after it.
    const size_t size = need > kChunkSize ? need : kChunkSize;
    chunks_.push_back(std::make_unique<char[]>(size));
    if (size == kChunkSize || left_ == 0) {
      free_ = chunks_.back().get();
      left_ = size;
    } else {
      char* own = chunks_.back().get();
      std::memcpy(own, s.data(), s.size());
      own[s.size()] = '\0';
      return std::string_view(own, s.size());
    }
  }
  char* at = free_;
  if (!s.empty()) std::memcpy(at, s.data(), s.size());
  at[s.size()] = '\0';
  free_ += need;
  left_ -= need;
  return std::string_view(at, s.size());
}

std::string_view NameArena::intern(std::string_view s) {
  auto it = interned_.find(s);
  if (it != interned_.end()) return *it;
  std::string_view stored = add(s);
  interned_.insert(stored);
  return stored;
}

}  // namespace vorel
