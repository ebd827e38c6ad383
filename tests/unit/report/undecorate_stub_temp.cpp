// TEMPORARY: stands in for platform/undecorate.cpp until it lands on main.
#include "platform/undecorate.h"

namespace vorel {
std::optional<std::string> undecorate(std::string_view, bool) { return std::nullopt; }
}  // namespace vorel
