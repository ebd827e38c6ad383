// The symbol undecorator: readable routine names.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorel {

// Undecorates a Microsoft ('?...') or Itanium ('_Z...') decorated name:
// the name only, or the full signature when `full_signature` is set (-demang).
// Itanium full signatures come from the C++ runtime's demangler, spelled as
// binutils' c++filt spells them; names only, and Microsoft names, from LLVM's
// (a name only that LLVM's rejects is cut from the runtime's full spelling).
// Any other name, one the demangler rejects, or one longer than
// kMaxUndecoratedLength gives nullopt, so such names are kept as they are:
// the demangler's recursion depth grows with the length, and its time grows
// with the square of it for some shapes (nested Microsoft templates take
// 0.07 s at 4 KiB, 12 s at 64 KiB).
inline constexpr size_t kMaxUndecoratedLength = 4096;
std::optional<std::string> undecorate(std::string_view name, bool full_signature);

// The qualified name of a demangled function signature such as
// "int ns::f<int>(int) const": without return type, parameters and
// qualifiers ("ns::f<int>"); anything that is no function comes back whole.
std::string function_name_of(std::string_view full);

}  // namespace vorel
