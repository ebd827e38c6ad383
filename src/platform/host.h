// Host rules: the few things that differ between a Windows and a POSIX host.
//
// The build picks the rules of the host it is compiled for; every function
// that depends on them takes a HostRules argument, so that both sets can be
// exercised by the unit tests on any host.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

struct HostRules {
  char separator;          // path separator: '\\' on Windows, '/' on POSIX
  bool fold_case;          // source paths and component entries upper-cased
  bool drop_underscore;    // symbol names lose one leading '_' when shown
};

// The rules of a Windows host and of a POSIX host.
HostRules windows_rules();
HostRules posix_rules();
// The rules of the host this program was built for; the environment
// variable VORELCOV_HOST_RULES=windows or =posix selects the other set (a
// test switch: it lets the end-to-end tests run under both sets on one host).
HostRules host_rules();
inline constexpr const char* kHostRulesVariable = "VORELCOV_HOST_RULES";

// Normalises a source path (the component list's file_name, component-file
// entries): on a case-folding host a-z become A-Z and '/' becomes '\\';
// otherwise the path is returned unchanged.
std::string normalise_path(const HostRules& rules, std::string_view path);

// Source-root normalisation: separators unified, case folded where the host
// folds case, doubled separators dropped, '.' and '..' components resolved.
std::string normalise_root(const HostRules& rules, std::string_view root);

}  // namespace vorel
