// The symbol undecorator: readable routine names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorel {

// Undecorates a Microsoft ('?...') or Itanium ('_Z...') decorated name:
// the name only, or the full signature when `full_signature` is set (-demang).
// Any other name, one the demangler rejects, or one longer than
// kMaxUndecoratedLength gives nullopt, so such names are kept as they are:
// the demangler's recursion depth grows with the length, and its time grows
// with the square of it for some shapes (nested Microsoft templates take
// 0.07 s at 4 KiB, 12 s at 64 KiB).
inline constexpr size_t kMaxUndecoratedLength = 4096;
std::optional<std::string> undecorate(std::string_view name, bool full_signature);

}  // namespace vorel
