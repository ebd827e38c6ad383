// Stable storage for many small arrays of plain values.
//
// Arrays are copied into chunks that never move, so a span into the arena
// stays valid for the arena's life, also when the arena itself is moved.
// One allocation per chunk instead of one per array, and no doubling of a
// single large buffer: a list of a million routines keeps its arrays at
// their own size.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

namespace vorel {

template <typename T>
class PodArena {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  // A copy of `values` (an empty span for none).
  std::span<const T> add(std::span<const T> values) {
    if (values.empty()) return {};
    T* at = take(values.size());
    std::copy(values.begin(), values.end(), at);
    return std::span<const T>(at, values.size());
  }
  // Room for `n` values, to be filled by the caller.
  std::span<T> allocate(size_t n) {
    if (n == 0) return {};
    return std::span<T>(take(n), n);
  }

 private:
  static constexpr size_t kChunkValues = 64 * 1024 / sizeof(T);  // 64 KB chunks

  T* take(size_t n) {
    if (n > left_) {
      // An array longer than a chunk gets one of its own; the current
      // chunk's rest stays in use for the arrays after it.
      if (n > kChunkValues) {
        chunks_.push_back(std::make_unique<T[]>(n));
        return chunks_.back().get();
      }
      chunks_.push_back(std::make_unique<T[]>(kChunkValues));
      free_ = chunks_.back().get();
      left_ = kChunkValues;
    }
    T* at = free_;
    free_ += n;
    left_ -= n;
    return at;
  }

  std::vector<std::unique_ptr<T[]>> chunks_;
  T* free_ = nullptr;
  size_t left_ = 0;
};

}  // namespace vorel
