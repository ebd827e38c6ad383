// Lookup keys: how a routine of one profile file is found in the other.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

enum KeyOrder : int { kFileOrder = 0, kRoutineOrder = 1 };

// Routine order: N'F'  (function, apostrophe, file, apostrophe).
// File order:    F'N'.
std::string make_key(std::string_view file, std::string_view function, KeyOrder order);

// Compares `key` with make_key(file, function, order) (<0, 0, >0 as
// std::string::compare) without building the key.
int compare_key(std::string_view key, std::string_view file, std::string_view function,
                KeyOrder order);

}  // namespace vorel
