// Number formatting shared by every writer.
#pragma once

#include <cstdint>
#include <string>

namespace vorel {

// Decimal digits grouped in threes with commas: 1234567 -> "1,234,567";
// negative values get a leading '-'; zero is "0".
std::string group_digits(uint64_t value);
std::string group_digits_signed(int64_t value);
// Appends `value` in decimal, right-aligned in `width` columns with spaces
// (as "%*u" prints it; a longer number is not cut).
void append_decimal(std::string& out, uint64_t value, size_t width = 0);

// part * 100.0 / whole, or 0.0 when whole is 0.
double percentage(double part, double whole);

// Rounds half up to hundredths: x * 100 truncated towards zero, plus 1 when
// the discarded fraction is at least 0.5, divided by 100
// (0.125 -> 0.13, 66.666... -> 66.67).
double round_hundredths(double value);

}  // namespace vorel
