#include "profile/spi_scan.h"

#include <limits>

namespace vorel {

namespace {

int digit_value(char c, int base) {
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

}  // namespace

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
