#include "report/html_text.h"

namespace vorel {

namespace {

const char kHex[] = "0123456789ABCDEF";

void append_percent(std::string& out, unsigned char c) {
  out.push_back('%');
  out.push_back(kHex[c >> 4]);
  out.push_back(kHex[c & 15]);
}

bool is_unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '~';
}

// Characters that stand for themselves in a relative URL path.
bool is_path_char(unsigned char c) {
  if (is_unreserved(c)) return true;
  switch (c) {
    case '/': case '!': case '$': case '\'': case '(': case ')': case '*':
    case '+': case ',': case ';': case '=': case '@':
      return true;
    default:
      return false;
  }
}

bool all_digits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

void append_escaped(std::string& out, std::string_view text) {
  size_t plain = 0;  // start of the run of bytes copied as they are
  for (size_t i = 0; i < text.size(); ++i) {
    const char* entity;
    switch (text[i]) {
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '&': entity = "&amp;"; break;
      case '"': entity = "&quot;"; break;
      default: continue;
    }
    out.append(text.data() + plain, i - plain);
    out.append(entity);
    plain = i + 1;
  }
  out.append(text.data() + plain, text.size() - plain);
}

std::string html_escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  append_escaped(out, text);
  return out;
}

void write_escaped(std::FILE* out, std::string_view text) {
  std::string s = html_escape(text);
  std::fwrite(s.data(), 1, s.size(), out);
}

std::string href_path(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (unsigned char c : name) {
    if (is_path_char(c))
      out.push_back(static_cast<char>(c));
    else
      append_percent(out, c);
  }
  return out;
}

std::string url_query_value(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (unsigned char c : value) {
    if (is_unreserved(c))
      out.push_back(static_cast<char>(c));
    else
      append_percent(out, c);
  }
  return out;
}

std::string function_name_text(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c == '@') {
      if (all_digits(name.substr(i + 1))) break;  // "@digits" at the end
      continue;
    }
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

}  // namespace vorel
