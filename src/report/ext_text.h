// Text of names for the extension outputs (Cobertura XML, JSON summary):
// always well-formed UTF-8, escaped for the target syntax.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

// The bytes as they stand when they are well-formed UTF-8 (no overlong
// forms, no surrogates, nothing above U+10FFFF), else converted from
// Windows-1252.
std::string to_utf8_text(std::string_view bytes);

// to_utf8_text, escaped for XML 1.0 text and attribute values; a character
// XML 1.0 cannot hold (controls other than tab, line feed and carriage
// return; U+FFFE, U+FFFF) becomes `stand_in` (U+FFFD unless given).
std::string xml_text(std::string_view bytes, std::string_view stand_in = "\xEF\xBF\xBD");

// to_utf8_text, escaped for the inside of a JSON string.
std::string json_text(std::string_view bytes);

}  // namespace vorel
