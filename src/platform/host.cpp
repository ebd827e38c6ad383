#include "platform/host.h"

namespace vorel {

HostRules windows_rules() { return HostRules{'\\', true, true}; }
HostRules posix_rules() { return HostRules{'/', false, false}; }

HostRules host_rules() {
#ifdef _WIN32
  return windows_rules();
#else
  return posix_rules();
#endif
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

}  // namespace vorel
