#include "profile/spi_scan.h"

#include <array>
#include <cstddef>
#include <limits>

namespace vorel {

namespace {

constexpr int digit_value(char c, int base) {
  int v;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  else return -1;
  return v < base ? v : -1;
}

// The white space of the C locale, without the locale lookup of isspace.
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Scans sign and magnitude; the magnitude saturates at `max`.
bool scan_magnitude(const char*& p, int base, uint64_t max, bool* negative, uint64_t* out) {
  const char* q = p;
  while (is_space(*q)) ++q;
  *negative = false;
  if (*q == '+' || *q == '-') *negative = *q++ == '-';
  if (base == 16 && q[0] == '0' && (q[1] == 'x' || q[1] == 'X') && digit_value(q[2], 16) >= 0)
    q += 2;
  if (digit_value(*q, base) < 0) return false;
  // v * base + d > max exactly when v > max / base, or v == max / base and
  // d > max % base: one division per number instead of one per digit.
  const uint64_t whole = max / static_cast<uint64_t>(base);
  const uint64_t rest = max % static_cast<uint64_t>(base);
  uint64_t v = 0;
  for (int d; (d = digit_value(*q, base)) >= 0; ++q) {
    const uint64_t digit = static_cast<uint64_t>(d);
    v = v > whole || (v == whole && digit > rest) ? max : v * base + digit;
  }
  p = q;
  *out = v;
  return true;
}

template <typename T>
bool scan_unsigned(const char*& p, int base, T* out) {
  bool negative;
  uint64_t v;
  if (!scan_magnitude(p, base, std::numeric_limits<T>::max(), &negative, &v)) return false;
  *out = negative ? static_cast<T>(T{0} - static_cast<T>(v)) : static_cast<T>(v);
  return true;
}

// Value of each byte as a hexadecimal digit, -1 for any other byte.
constexpr auto kHexDigit = [] {
  std::array<int8_t, 256> t{};
  for (int c = 0; c < 256; ++c)
    t[static_cast<size_t>(c)] = static_cast<int8_t>(digit_value(static_cast<char>(c), 16));
  return t;
}();

int hex_digit(char c) { return kHexDigit[static_cast<unsigned char>(c)]; }

// `digits` hexadecimal digits at `p`: their value, or -1 when one is not a digit.
int64_t fixed_hex(const char* p, int digits) {
  uint32_t v = 0;
  for (int i = 0; i < digits; ++i) {
    const int d = hex_digit(p[i]);
    if (d < 0) return -1;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  return v;
}

// The record line as written: two digits, then seven times a space and
// eight digits, and no digit right after. The general scanner reads exactly
// these values from it (no white space to skip, no sign, no "0x", nothing
// that saturates), so this form takes the short way.
bool scan_canonical_words(const char* text, uint32_t w[8]) {
  int64_t v = fixed_hex(text, 2);
  if (v < 0) return false;
  w[0] = static_cast<uint32_t>(v);
  const char* p = text + 2;
  for (int i = 1; i < 8; ++i, p += 9) {
    if (*p != ' ' || (v = fixed_hex(p + 1, 8)) < 0) return false;
    w[i] = static_cast<uint32_t>(v);
  }
  return hex_digit(*p) < 0;
}

}  // namespace

bool scan_record_words(const char* text, uint32_t w[8]) {
  if (scan_canonical_words(text, w)) return true;
  const char* p = text;
  for (int i = 0; i < 8; ++i)
    if (!scan_hex_u32(p, &w[i])) return false;
  return true;
}

bool scan_hex_u32(const char*& p, uint32_t* out) { return scan_unsigned(p, 16, out); }
bool scan_hex_u64(const char*& p, uint64_t* out) { return scan_unsigned(p, 16, out); }
bool scan_dec_u32(const char*& p, uint32_t* out) { return scan_unsigned(p, 10, out); }
bool scan_dec_u64(const char*& p, uint64_t* out) { return scan_unsigned(p, 10, out); }

bool scan_dec_i32(const char*& p, int32_t* out) {
  bool negative;
  uint64_t v;
  constexpr uint64_t kMax = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
  if (!scan_magnitude(p, 10, kMax + 1, &negative, &v)) return false;
  if (negative) *out = v > kMax ? std::numeric_limits<int32_t>::min() : -static_cast<int32_t>(v);
  else *out = v > kMax ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(v);
  return true;
}

int32_t c_atoi(const char* p) {
  int32_t v = 0;
  return scan_dec_i32(p, &v) ? v : 0;
}

}  // namespace vorel
