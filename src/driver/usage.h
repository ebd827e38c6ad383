// The usage text and the text of the external (test-database) options.
#pragma once

namespace vorel {

// Prints the usage text for `program` (word 0) on stdout.
void print_usage(const char* program);

// Prints the external options text (-helpx) on stdout.
void print_external_options();

}  // namespace vorel
