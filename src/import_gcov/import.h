// Reading one gcov JSON file (gzip-compressed or plain); input_discovery.h
// finds the files under the inputs given.
#pragma once

#include <string>
#include <string_view>

#include "import_gcov/gcov_json.h"

namespace import_gcov {

// Largest decompressed JSON accepted (a guard against gzip bombs).
inline constexpr size_t kMaxJsonBytes = size_t{1} << 32;

// Parses the bytes of one input file: gzip data is decompressed first.
bool parse_gcov_bytes(std::string_view bytes, GcovUnit* out, std::string* error);

}  // namespace import_gcov
