// Lookup keys: how a routine of one profile file is found in the other.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

enum KeyOrder : int { kFileOrder = 0, kRoutineOrder = 1 };

// Routine order: N'F'  (function, apostrophe, file, apostrophe).
// File order:    F'N'.
std::string make_key(std::string_view file, std::string_view function, KeyOrder order);

}  // namespace vorel
