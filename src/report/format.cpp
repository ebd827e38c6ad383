#include "report/format.h"

#include <cmath>

namespace vorel {

std::string group_digits(uint64_t value) {
  std::string digits = std::to_string(value);
  std::string out;
  out.reserve(digits.size() + digits.size() / 3);
  // A comma goes before every digit that has a multiple of three digits
  // after it (never before the first).
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

std::string group_digits_signed(int64_t value) {
  if (value >= 0) return group_digits(static_cast<uint64_t>(value));
  // Negate in unsigned arithmetic so that INT64_MIN is handled too.
  uint64_t magnitude = 0 - static_cast<uint64_t>(value);
  std::string out = "-";
  out += group_digits(magnitude);
  return out;
}

void append_decimal(std::string& out, uint64_t value, size_t width) {
  char digits[20];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  if (width > n) out.append(width - n, ' ');
  while (n > 0) out.push_back(digits[--n]);
}

double percentage(double part, double whole) {
  if (whole == 0) return 0.0;
  return part * 100.0 / whole;
}

double round_hundredths(double value) {
  if (!(value == value)) return 0.0;  // NaN never reaches a report
  bool negative = value < 0;
  double scaled = std::fabs(value) * 100.0;
  if (scaled >= 18446744073709551615.0) return value;
  uint64_t whole = static_cast<uint64_t>(scaled);
  if (scaled - static_cast<double>(whole) >= 0.5) ++whole;
  double rounded = static_cast<double>(whole) / 100.0;
  return negative ? -rounded : rounded;
}

}  // namespace vorel
