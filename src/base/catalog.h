// The message catalog: numbered texts shared with the compiler tool chain.
//
// A catalog diagnostic is printed as "vorelcov: <severity> #<number>: <text>\n"
// on stderr. Texts are printf formats.
#pragma once

#include <cstdio>

namespace vorel {

enum CatalogMessage : int {
  kMsgSrcRootTooLong = 11001,        // "Replacement using source root directory for '%s' is too long. ..."
  kMsgOutOfMemory = 11002,           // "Out of memory, trying to allocate %d."
  kMsgCorruptSpiLine = 11003,        // "Corrupt spi file '%s', header on line %d"
  kMsgFileCorrupt = 11004,           // "File '%s' is corrupt."
  kMsgUnknownSpiRecord = 11005,      // "Ignoring unknown record type in .spi file, ..."
  kMsgUnrecognizedProperties = 11006,
  kMsgUnrecognizedDpiHeader = 11007,
  kMsgCantReadDpi = 11008,
  kMsgSkippableSegment = 11009,
  kMsgUnrecognizedSegment = 11010,
  kMsgFileCorruptIgnored = 11011,
  kMsgUnexpectedEof = 11012,
  kMsgIncompatibleFormat = 11013,
  kMsgDuplicateKey = 11014,
  kMsgCorruptFlowGraph = 11015,
  kMsgDpiNoRuns = 11016,             // a dynamic profile that records 0 runs
  kMsgBanner = 11100,
  kMsgBannerVxWorks7 = 11101,
  kMsgDisplayName = 11102,
};

// The catalog text of a number (nullptr for an unknown number).
const char* catalog_text(int number);

// Prints the product banner on `stream`; the VxWorks 7 variant when selected.
void print_banner(std::FILE* stream);
void select_vxworks7_banner(bool on);

// The product's display name, the title of the HTML pages.
const char* product_display_name();

}  // namespace vorel
