#include "report/readable_name_adapter.h"

#include "platform/host.h"
#include "platform/undecorate.h"

namespace vorel {

std::string readable_routine_name(std::string_view name, bool demangle) {
  constexpr std::string_view kStartup = "__sti__";
  if (name.substr(0, kStartup.size()) == kStartup) {
    std::string_view rest = name.substr(kStartup.size());
    std::optional<std::string> plain = undecorate(rest, demangle);
    return "class ExecuteOnStartup " + (plain ? *plain : std::string(rest));
  }
  std::optional<std::string> plain = undecorate(name, demangle);
  return plain ? *plain : std::string(name);
}

std::string list_routine_name(std::string_view name, bool demangle, const HostRules& host) {
  std::string shown = readable_routine_name(name, demangle);
  if (host.drop_underscore && !shown.empty() && shown[0] == '_') shown.erase(0, 1);
  return shown;
}

}  // namespace vorel
