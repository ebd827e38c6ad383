// Whether a dynamic profile belongs to the static one: the share of the
// component list's routines that have a record in it. A file of another
// program or build matches few of them and would report 0 % (or, as -ref,
// every covered block as new) without a word.
#pragma once

#include <cstdint>
#include <string>

namespace vorel {

struct ComponentList;
struct DpiFile;

struct ProfileMatch {
  uint64_t static_routines = 0;   // routines of the list that are counted
  uint64_t matched = 0;           // ... that have a record in the dynamic file
  uint64_t dynamic_routines = 0;  // records of the dynamic file
};

// Looks every counted routine of `list` up in the index of `dpi` (by name,
// without loading a record).
ProfileMatch count_profile_match(const ComponentList& list, const DpiFile& dpi);

// True when under half of the smaller side matched: a filtered list or a
// dynamic file of a partial program still matches most of the smaller one.
bool profiles_look_unrelated(const ProfileMatch& m);

// Prints the warning for `dpi_name` against `spi_name` when the profiles
// look unrelated (once per dynamic file: the caller calls it once).
void warn_if_unrelated(const ProfileMatch& m, const std::string& spi_name,
                       const std::string& dpi_name);

}  // namespace vorel
