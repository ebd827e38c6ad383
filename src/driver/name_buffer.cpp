#include "driver/name_buffer.h"

#include <cstdlib>

#include "driver/diag.h"

namespace vorel {

namespace {
constexpr size_t kInitialCapacity = 4096;
char* g_buffer = nullptr;
size_t g_capacity = kInitialCapacity;

// Smallest power of two strictly greater than `size`; 0 when there is none.
size_t next_power_above(size_t size) {
  size_t p = 1;
  while (p <= size) {
    if (p > (~static_cast<size_t>(0) >> 1)) return 0;
    p <<= 1;
  }
  return p;
}

[[noreturn]] void buffer_out_of_memory(size_t size) {
  print_out("ERROR: out of memory! requested size = %zu\n", size);
  fatal_exit(1);
}
}  // namespace

char* name_buffer_request(size_t size) {
  if (size > g_capacity) {
    std::free(g_buffer);
    g_buffer = nullptr;
    size_t capacity = next_power_above(size);
    if (capacity == 0) buffer_out_of_memory(size);
    g_capacity = capacity;
  } else if (g_buffer) {
    return g_buffer;
  }
  g_buffer = static_cast<char*>(std::malloc(g_capacity));
  if (!g_buffer) buffer_out_of_memory(g_capacity);
  return g_buffer;
}

size_t name_buffer_capacity() { return g_capacity; }

void name_buffer_release() {
  std::free(g_buffer);
  g_buffer = nullptr;
  g_capacity = kInitialCapacity;
}

}  // namespace vorel
