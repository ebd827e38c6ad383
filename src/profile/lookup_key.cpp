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

int compare_keys(std::string_view file_a, std::string_view function_a, std::string_view file_b,
                 std::string_view function_b) {
  // Both keys as their four pieces, compared a common run of bytes at a time.
  const std::string_view a[] = {function_a, "'", file_a, "'"};
  const std::string_view b[] = {function_b, "'", file_b, "'"};
  size_t ia = 0, ib = 0;
  std::string_view ra = a[0], rb = b[0];
  for (;;) {
    while (ra.empty() && ia < 3) ra = a[++ia];
    while (rb.empty() && ib < 3) rb = b[++ib];
    if (ra.empty() || rb.empty()) return ra.empty() ? (rb.empty() ? 0 : -1) : 1;
    const size_t n = std::min(ra.size(), rb.size());
    if (int c = ra.substr(0, n).compare(rb.substr(0, n))) return c;
    ra.remove_prefix(n);
    rb.remove_prefix(n);
  }
}

std::string routine_key(const HostRules& rules, std::string_view file, std::string_view function) {
  if (!rules.fold_case) return make_key(file, function, kRoutineOrder);
  return make_key(normalise_path(rules, file), function, kRoutineOrder);
}

}  // namespace vorel
