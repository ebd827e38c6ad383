// Text that goes into HTML pages: escaping for text and attribute contexts,
// link targets and URL query values, and the shown form of function names.
//
// Ordinary names (letters, digits, '_', '.', path separators) come out
// unchanged, so ordinary pages are byte-identical with or without escaping.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace vorel {

// "<" -> "&lt;", ">" -> "&gt;", "&" -> "&amp;", '"' -> "&quot;"; every other
// byte is copied. Safe in element text and in double-quoted attributes.
std::string html_escape(std::string_view text);
void write_escaped(std::FILE* out, std::string_view text);
// Appends the escaped form of `text` to `out`.
void append_escaped(std::string& out, std::string_view text);

// A relative link target (a report page name) for an href or src attribute:
// bytes that a URL would read as syntax ('%', '#', '?', blanks, quotes, '&',
// '<', '>', '\\', control and non-ASCII bytes) are percent-encoded.
std::string href_path(std::string_view name);

// A value inside a URL query: every byte but A-Z a-z 0-9 '-' '_' '.' '~' is
// percent-encoded.
std::string url_query_value(std::string_view value);

// The shown form of a function name: '<', '>' and '&' escaped; an '@'
// followed by digits that run to the end of the name is dropped with the
// digits; any other '@' is dropped alone.
std::string function_name_text(std::string_view name);

}  // namespace vorel
