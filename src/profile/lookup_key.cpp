#include "profile/lookup_key.h"

#include <algorithm>

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

int compare_key(std::string_view key, std::string_view file, std::string_view function,
                KeyOrder order) {
  const std::string_view parts[] = {order == kRoutineOrder ? function : file, "'",
                                    order == kRoutineOrder ? file : function, "'"};
  size_t at = 0;
  for (std::string_view part : parts) {
    const size_t n = std::min(key.size() - at, part.size());
    if (int c = key.substr(at, n).compare(part.substr(0, n))) return c;
    if (n < part.size()) return -1;  // the key is a proper prefix
    at += n;
  }
  return at < key.size() ? 1 : 0;
}

std::string routine_key(const HostRules& rules, std::string_view file, std::string_view function) {
  if (!rules.fold_case) return make_key(file, function, kRoutineOrder);
  return make_key(normalise_path(rules, file), function, kRoutineOrder);
}

}  // namespace vorel
