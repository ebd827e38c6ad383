// The symbol undecorator: readable routine names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorel {

// Undecorates a Microsoft ('?...') or Itanium ('_Z...') decorated name:
// the name only, or the full signature when `full_signature` is set (-demang).
// Any other name, or one the demangler rejects, gives nullopt.
std::optional<std::string> undecorate(std::string_view name, bool full_signature);

}  // namespace vorel
