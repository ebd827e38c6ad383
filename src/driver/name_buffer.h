// The name buffer: one process-wide byte buffer in which the report-name
// builders build every name. A name built in it is valid only until the
// next request.
#pragma once

#include <cstddef>

namespace vorel {

// Returns the buffer with room for at least `size` bytes. When `size`
// exceeds the capacity (initially 4096), the old buffer is freed and the
// capacity becomes the smallest power of two strictly greater than `size`.
// An allocation failure prints "ERROR: out of memory! requested size = %u\n"
// on stdout and ends the run with status 1.
char* name_buffer_request(size_t size);

// Current capacity (4096 until a larger request).
size_t name_buffer_capacity();

// Frees the buffer and restores the initial capacity.
void name_buffer_release();

}  // namespace vorel
