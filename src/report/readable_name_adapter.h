// Readable routine names for the list writers and the call graph.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

struct HostRules;

// The shown form of a routine name: static initialisers ("__sti__" prefix)
// become "class ExecuteOnStartup <rest>", everything else is undecorated
// (the full signature with `demangle`); a name that cannot be undecorated is
// shown as it is.
std::string readable_routine_name(std::string_view name, bool demangle);

// The name of a routine in the function and block lists: its readable name,
// less one leading '_' on a host whose symbols carry one.
std::string list_routine_name(std::string_view name, bool demangle, const HostRules& host);

}  // namespace vorel
