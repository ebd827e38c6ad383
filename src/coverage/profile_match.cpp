#include "coverage/profile_match.h"

#include <algorithm>

#include "base/diag.h"
#include "coverage/component.h"
#include "profile/dpi.h"

namespace vorel {

ProfileMatch count_profile_match(const ComponentList& list, const DpiFile& dpi) {
  ProfileMatch m;
  m.dynamic_routines = dpi.routine_count;
  for (const Component& c : list.entries) {
    if (is_left_out(c)) continue;
    ++m.static_routines;
    if (dpi_find_any(&dpi, c.file_name, c.proc_name)) ++m.matched;
  }
  return m;
}

bool profiles_look_unrelated(const ProfileMatch& m) {
  const uint64_t smaller = std::min(m.static_routines, m.dynamic_routines);
  return smaller > 0 && m.matched * 2 < smaller;
}

void warn_if_unrelated(const ProfileMatch& m, const std::string& spi_name,
                       const std::string& dpi_name) {
  if (!profiles_look_unrelated(m)) return;
  print_err("WARNING: only %llu of the %llu routines of %s have a record in %s, which holds %llu; "
            "the two files may come from different builds.\n",
            static_cast<unsigned long long>(m.matched),
            static_cast<unsigned long long>(m.static_routines), spi_name.c_str(),
            dpi_name.c_str(), static_cast<unsigned long long>(m.dynamic_routines));
}

}  // namespace vorel
