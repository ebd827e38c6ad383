// Profiles written by vorelcov's own importers (vorelcov-import-gcov,
// vorelcov-import-llvm).
//
// Their dynamic file carries the importer's header string (below).
// They store each source file inside the project with the project's root
// as its stored root (root length = the root's length), so the readers hand
// such a name out relative to the project ("src/util.c") whatever the
// configured source root; the driver reads the sources below the root it
// settles for them (-srcroot, VOREL_PROF_SRC_ROOT, else the stored root when
// it exists, else the working directory). Files outside the project keep
// absolute names with root length 0.
#pragma once

#include <string_view>

namespace vorel {

inline constexpr const char* kImportedHeaderString = "vorelcov-import-gcov";
inline constexpr const char* kImportedLlvmHeaderString = "vorelcov-import-llvm";

// Whether a dynamic file's header string is one of the importers'.
inline bool is_imported_header(std::string_view header) {
  return header == kImportedHeaderString || header == kImportedLlvmHeaderString;
}

}  // namespace vorel
