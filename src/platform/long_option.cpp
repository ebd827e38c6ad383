#include "platform/long_option.h"

#include <cstring>

namespace vorel {

LongOption split_long_option(const char* word) {
  LongOption o;
  const char* eq = std::strncmp(word, "--", 2) == 0 ? std::strchr(word, '=') : nullptr;
  if (!eq) {
    o.name = word;
    return o;
  }
  o.name = std::string_view(word, static_cast<size_t>(eq - word));
  o.attached = eq + 1;
  return o;
}

const char* long_option_value(const LongOption& o, int argc, const char* const* argv, int& i) {
  if (o.attached) return o.attached;
  if (i + 1 >= argc) return nullptr;
  return argv[++i];
}

bool parse_decimal(std::string_view text, uint64_t min, uint64_t max, uint64_t* out) {
  if (text.empty()) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (value > (max - digit) / 10) return false;  // beyond max (and no overflow)
    value = value * 10 + digit;
  }
  if (value < min) return false;
  *out = value;
  return true;
}

}  // namespace vorel
