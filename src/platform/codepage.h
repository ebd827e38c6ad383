// Code-page conversion for source files that are neither ASCII nor UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

// Converts Windows-1252 bytes to UTF-8 (a fixed single-byte table; the five
// unassigned bytes map to U+FFFD).
std::string cp1252_to_utf8(std::string_view bytes);

}  // namespace vorel
