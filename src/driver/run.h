// The run driver: the order of a run from the argument words to the exit
// status.
#pragma once

namespace vorel {

// Runs the program on the argument words (UTF-8 on POSIX) and returns the
// exit status; orderly stops leave through fatal_exit.
int run_main(int argc, char** argv);

}  // namespace vorel
