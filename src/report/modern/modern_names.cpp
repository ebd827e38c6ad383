#include "report/modern/modern_names.h"

#include <cstdint>

namespace vorel {

namespace {


// Longest code kept whole; the cut form adds "~~" and 16 hex digits.
constexpr size_t kMaxCode = 180;

uint64_t fnv1a(std::string_view text) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

const char kHex[] = "0123456789abcdef";

std::string page_code(std::string_view path) {
  std::string code;
  code.reserve(path.size() + 8);
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || (c == '.' && i > 0);
    if (plain) {
      code.push_back(static_cast<char>(c));
    } else if (c == '/') {
      code.push_back('_');
    } else {
      code.push_back('~');
      code.push_back(kHex[c >> 4]);
      code.push_back(kHex[c & 15]);
    }
  }
  if (code.size() > kMaxCode) {
    code.resize(kMaxCode - 18);
    // A cut inside a "~xx" escape would leave a '~' that reads as the start
    // of the hash marker: drop the partial escape.
    const size_t tilde = code.rfind('~');
    if (tilde != std::string::npos && tilde + 3 > code.size()) code.resize(tilde);
    code += "~~";
    const uint64_t h = fnv1a(path);
    for (int shift = 60; shift >= 0; shift -= 4) code.push_back(kHex[(h >> shift) & 15]);
  }
  return code;
}

}  // namespace

std::string common_directory(const std::vector<std::string_view>& names, char separator) {
  auto is_separator = [separator](char c) { return c == '/' || c == separator; };
  if (names.empty()) return {};
  std::string_view common = names.front();
  for (std::string_view name : names) {
    size_t n = 0;
    while (n < common.size() && n < name.size() && common[n] == name[n]) ++n;
    common = common.substr(0, n);
  }
  // Back to the last separator, then past one more directory.
  size_t end = common.size();
  while (end > 0 && !is_separator(common[end - 1])) --end;
  if (end > 0) --end;
  while (end > 0 && !is_separator(common[end - 1])) --end;
  return std::string(common.substr(0, end));
}

std::string shown_path(std::string_view name, std::string_view prefix, char separator) {
  if (name.substr(0, prefix.size()) == prefix) name.remove_prefix(prefix.size());
  std::string shown(name);
  for (char& c : shown)
    if (c == separator) c = '/';
  return shown;
}

std::vector<std::string> parent_directories(std::string_view shown) {
  std::vector<std::string> dirs;
  for (size_t at = shown.find('/'); at != std::string_view::npos; at = shown.find('/', at + 1))
    if (at > 0) dirs.emplace_back(shown.substr(0, at));
  return dirs;
}

std::string file_page_name(std::string_view shown) { return "f-" + page_code(shown) + ".html"; }

std::string directory_page_name(std::string_view shown_directory) {
  return "d-" + page_code(shown_directory) + ".html";
}

}  // namespace vorel
