// Finishing an output file with the run's message on failure.
#pragma once

#include <cstdio>
#include <string>

namespace vorel {

// Finishes a stream from output_open (platform/output_file.h); when a write
// or the close failed prints "ERROR: writing file %s failed.\n" with `name`
// and returns false.
bool finish_output(std::FILE* stream, const std::string& name);

// After an output's open failed with error `code`: "vorelcov: <name>:
// <reason>\n", the second line of the open message.
void print_open_reason(const std::string& name, int code);

}  // namespace vorel
