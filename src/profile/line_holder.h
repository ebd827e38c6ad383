// The line holder: a routine that an importer writes to carry source lines
// that belong to no function (code of functions inlined everywhere, whose own
// function is gone). Its lines count as lines; it counts as no function in
// any function figure or list.
#pragma once

#include <string_view>

namespace vorel {

inline constexpr const char* kLineHolderName = "__lines_outside_functions";

inline bool is_line_holder_name(std::string_view proc_name) { return proc_name == kLineHolderName; }

}  // namespace vorel
