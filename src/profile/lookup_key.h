// Lookup keys: how a routine of one profile file is found in the other.
#pragma once

#include <string>
#include <string_view>

#include "platform/host.h"

namespace vorel {

enum KeyOrder : int { kFileOrder = 0, kRoutineOrder = 1 };

// Routine order: N'F'  (function, apostrophe, file, apostrophe).
// File order:    F'N'.
std::string make_key(std::string_view file, std::string_view function, KeyOrder order);

// Compares make_key(file_a, function_a, kRoutineOrder) with
// make_key(file_b, function_b, kRoutineOrder) (<0, 0, >0 as
// std::string::compare) without building either key.
int compare_keys(std::string_view file_a, std::string_view function_a, std::string_view file_b,
                 std::string_view function_b);

// The one key that joins a static routine to its dynamic record, wherever
// they are joined (index, coverage pass, function lists, call graph): routine
// order with the file name in the host's normalised form, so that under the
// Windows rules case and '/' versus '\\' do not matter. Under the POSIX
// rules this is make_key(file, function, kRoutineOrder).
std::string routine_key(const HostRules& rules, std::string_view file, std::string_view function);

}  // namespace vorel
