#include "report/ext_text.h"

#include <cstdint>
#include <cstdio>

#include "platform/codepage.h"

namespace vorel {

namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at s[i], or 0.
size_t sequence_length(std::string_view s, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b = byte(i);
  if (b < 0x80) return 1;
  size_t n = 0;
  uint32_t cp = 0;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
  if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return n;
}

bool is_utf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const size_t n = sequence_length(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace

std::string to_utf8_text(std::string_view bytes) {
  return is_utf8(bytes) ? std::string(bytes) : cp1252_to_utf8(bytes);
}

std::string xml_text(std::string_view bytes, std::string_view stand_in) {
  const std::string text = to_utf8_text(bytes);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '&': out += "&amp;"; continue;
      case '<': out += "&lt;"; continue;
      case '>': out += "&gt;"; continue;
      case '"': out += "&quot;"; continue;
      case '\'': out += "&apos;"; continue;
      case '\t': out += "&#9;"; continue;   // kept as they are in attribute values
      case '\n': out += "&#10;"; continue;
      case '\r': out += "&#13;"; continue;
      default: break;
    }
    if (c < 0x20) {
      out += stand_in;
    } else if (c == 0xEF && text.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < text.size() &&
               (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
      out += stand_in;  // U+FFFE, U+FFFF
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string json_text(std::string_view bytes) {
  const std::string text = to_utf8_text(bytes);
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace vorel
