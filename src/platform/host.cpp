#include "platform/host.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace vorel {

HostRules windows_rules() { return HostRules{'\\', true, true}; }
HostRules posix_rules() { return HostRules{'/', false, false}; }

namespace {

HostRules build_host_rules() {
#ifdef _WIN32
  return windows_rules();
#else
  return posix_rules();
#endif
}

HostRules chosen_rules() {
  const char* choice = std::getenv(kHostRulesVariable);
  if (choice && std::strcmp(choice, "windows") == 0) return windows_rules();
  if (choice && std::strcmp(choice, "posix") == 0) return posix_rules();
  return build_host_rules();
}

}  // namespace

HostRules host_rules() {
  static const HostRules rules = chosen_rules();
  return rules;
}

std::string normalise_path(const HostRules& rules, std::string_view path) {
  std::string out(path);
  if (!rules.fold_case) return out;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    else if (c == '/') c = '\\';
  }
  return out;
}

namespace {

// Step 1: unified separators, folded case, no doubled separators.
std::string unify(const HostRules& rules, std::string_view root) {
  const char sep = rules.separator;
  std::string out;
  out.reserve(root.size());
  for (char c : root) {
    if (c == '/') c = sep;
    if (rules.fold_case && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == sep && !out.empty() && out.back() == sep) continue;
    out.push_back(c);
  }
  return out;
}

// Removes the component that ends `built` (which ends with a separator),
// keeping the separator in front of it. False when no separator remains in
// front of the component.
bool drop_last_component(std::string& built, char sep) {
  size_t end = built.size() - 1;  // the final separator
  size_t before = end == 0 ? std::string::npos : built.rfind(sep, end - 1);
  if (before == std::string::npos) return false;
  built.resize(before + 1);
  return true;
}

// Step 3: '.' components dropped and '..' components resolved, left to
// right. Returns false when a '..' cannot be resolved.
bool resolve_dots(const HostRules& rules, const std::string& in, std::string& out) {
  const char sep = rules.separator;
  const size_t n = in.size();
  auto at = [&](size_t i) { return i < n ? in[i] : '\0'; };
  const bool drive = rules.separator == '\\' && n > 1 &&
                     std::isalpha(static_cast<unsigned char>(in[0])) && in[1] == ':';
  size_t i = 0;
  while (i < n) {
    if (in[i] == '.' && at(i + 1) == sep && (i == 0 || in[i - 1] == sep || (drive && i == 2))) {
      i += 2;  // "./" component, or "C:./"
      continue;
    }
    if (in[i] == '.' && at(i + 1) == '.' && at(i + 2) == sep) {
      if (out.size() < 2 || out.back() != sep) return false;
      if (!drop_last_component(out, sep) || out.size() == 2) return false;
      i += 3;
      continue;
    }
    out.push_back(in[i++]);
  }
  return true;
}

// Step 4: a trailing '.' or '..' component.
bool resolve_tail(const HostRules& rules, std::string& text) {
  const char sep = rules.separator;
  size_t last = text.rfind(sep);
  size_t start = last == std::string::npos ? 0 : last + 1;
  std::string_view tail = std::string_view(text).substr(start);
  if (tail == ".") {
    text.pop_back();
  } else if (tail == ".." && start > 0) {
    text.resize(start);  // "...\COMP\" remains
    if (!drop_last_component(text, sep)) return false;
  }
  return true;
}

}  // namespace

std::string normalise_root(const HostRules& rules, std::string_view root) {
  std::string first = unify(rules, root);
  if (first.find('.') == std::string::npos) return first;
  std::string second;
  second.reserve(first.size());
  if (!resolve_dots(rules, first, second)) return first;
  if (!resolve_tail(rules, second)) return first;
  return second;
}

}  // namespace vorel
