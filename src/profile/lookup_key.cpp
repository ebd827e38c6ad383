#include "profile/lookup_key.h"

namespace vorel {

std::string make_key(std::string_view file, std::string_view function, KeyOrder order) {
  std::string key;
  key.reserve(file.size() + function.size() + 3);
  std::string_view first = order == kRoutineOrder ? function : file;
  std::string_view second = order == kRoutineOrder ? file : function;
  key.append(first);
  key.push_back('\'');
  key.append(second);
  key.push_back('\'');
  return key;
}

std::string routine_key(const HostRules& rules, std::string_view file, std::string_view function) {
  if (!rules.fold_case) return make_key(file, function, kRoutineOrder);
  return make_key(normalise_path(rules, file), function, kRoutineOrder);
}

}  // namespace vorel
