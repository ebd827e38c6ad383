#include "report/readable_name_adapter.h"

#include "coverage/component.h"
#include "platform/host.h"

namespace vorel {

std::string readable_routine_name(std::string_view name, bool demangle) {
  std::string stored(name);
  return readable_name(stored, demangle).value_or(stored);
}

std::string list_routine_name(std::string_view name, bool demangle, const HostRules& host) {
  std::string shown = readable_routine_name(name, demangle);
  if (host.drop_underscore && !shown.empty() && shown[0] == '_') shown.erase(0, 1);
  return shown;
}

}  // namespace vorel
