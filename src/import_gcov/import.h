// Reading one gcov JSON file (gzip-compressed or plain); input_discovery.h
// finds the files under the inputs given.
#pragma once

#include <string>
#include <string_view>

#include "import_gcov/gcov_json.h"

namespace import_gcov {

// Largest input file read, and largest JSON text after decompression: far
// above the gcov JSON of any real compilation unit (tens of MB), far below
// the memory of a build machine. Reading stops at the limit at once, so a
// device, a growing file or a gzip bomb costs at most this much.
inline constexpr size_t kMaxInputBytes = size_t{256} << 20;
inline constexpr size_t kMaxJsonBytes = size_t{256} << 20;

// `name` fit for a one-line message: line ends as \n and \r, other control
// bytes as \xHH, a backslash doubled.
std::string escaped_name(std::string_view name);

// False (with `*error` saying "`what` \"NAME\" holds a line end...", the
// name escaped) when `name` holds a line end or a zero byte.
bool check_name(const char* what, const std::string& name, std::string* error);

// False (with `*error` naming the name, escaped) when a name of `unit`
// holds a line end or a zero byte, which profile files cannot store.
bool check_names(const GcovUnit& unit, std::string* error);

// Parses the bytes of one input file: gzip data is decompressed first. A
// name with a line end or a zero byte is refused (profile files cannot
// store it), with the name escaped.
bool parse_gcov_bytes(std::string_view bytes, GcovUnit* out, std::string* error);

}  // namespace import_gcov
