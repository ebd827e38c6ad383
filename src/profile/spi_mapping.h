// The mapping section of a static profile file (versions 6 and above): the
// id-to-name maps of modules, source files, routine names and data
// references, and the module visiting order.
#pragma once

#include <string>

namespace vorel {

struct SpiFile;

// Parses the mapping section at f.mapping_offset into f's four maps and
// builds f.sorted_modules; the stream is left where it was. Returns false
// with the internal reason (e.g. "Expected to find mapping start key") when
// the section is malformed; the caller reports that as a corrupt file.
bool spi_parse_mapping(SpiFile& f, std::string* reason);

}  // namespace vorel
