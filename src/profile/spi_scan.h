// Number scanning for the static profile file's text forms.
//
// The scanners follow the C formatted-input rules (%x, %u, %d): leading white
// space is skipped, a sign is accepted (a negative value of an unsigned
// field wraps), and at least one digit must follow. Unlike the C library a
// value too large for its field never overflows: it reads as the largest
// value of the field, so an absurd number can never alias a small valid one.
// Each scanner advances `p` past what it read and returns false (leaving `p`
// unchanged) when no number is there.
#pragma once

#include <cstdint>

namespace vorel {

bool scan_hex_u32(const char*& p, uint32_t* out);
bool scan_hex_u64(const char*& p, uint64_t* out);
bool scan_dec_u32(const char*& p, uint32_t* out);
bool scan_dec_u64(const char*& p, uint64_t* out);
bool scan_dec_i32(const char*& p, int32_t* out);

// The eight hexadecimal words of a record line ("%02x" then seven " %08x"),
// as eight scan_hex_u32 calls from the start of `text` read them; false
// (with `w` partly written) when one of them finds no number.
bool scan_record_words(const char* text, uint32_t w[8]);
// The C string-to-integer rule (atoi): the decimal number at the start of
// `p` after white space, 0 when there is none; clamped to the int32 range.
int32_t c_atoi(const char* p);

}  // namespace vorel
