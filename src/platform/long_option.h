// GNU long options: "--name value" and "--name=value" are the same option.
// The driver's extension scan and the importer's scan share this rule, so
// every long option with a value takes both forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorel {

struct LongOption {
  std::string_view name;               // "--name" (the whole word without '=')
  const char* attached = nullptr;      // the text after '=', or nullptr
};

// Splits a word that starts with "--" at its first '='; any other word is
// its own name.
LongOption split_long_option(const char* word);

// The value of option `o` found at argv[i]: the attached text, or the next
// word (i then advances). nullptr when there is none.
const char* long_option_value(const LongOption& o, int argc, const char* const* argv, int& i);

// A whole decimal number from `min` to `max`: digits only (no sign, no
// blank, no other base).
bool parse_decimal(std::string_view text, uint64_t min, uint64_t max, uint64_t* out);

}  // namespace vorel
