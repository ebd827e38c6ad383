// Decompressing gzip data (the *.gcov.json.gz files gcov writes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace import_gcov {

// Decompresses every gzip member of `data` into `out`. Fails (with the
// reason in `*error`) on a truncated or corrupt stream, or when the output
// would grow beyond `limit` bytes.
bool gunzip(std::string_view data, std::string* out, std::string* error, size_t limit);

// True when `data` starts with the gzip magic bytes.
bool looks_gzipped(std::string_view data);

}  // namespace import_gcov
