// The progress meter of the per-file phase (stdout).
#pragma once

namespace vorel {

// Starts the meter for `total` list entries.
void progress_start(int total);
// Counts one entry and prints a percentage when a threshold is reached.
void progress_tick();

}  // namespace vorel
