#include "base/catalog.h"

#include <cinttypes>

namespace vorel {

namespace {

struct Entry {
  int number;
  const char* text;
};

// Texts quoted by the profile readers and the driver; they are fixed.
// "%I64x"/"%I64u" of the tool chain's formats are written with <cinttypes>.
const Entry kCatalog[] = {
    {kMsgSrcRootTooLong,
     "Replacement using source root directory for '%s' is too long. Will not update root directory."},
    {kMsgOutOfMemory, "Out of memory, trying to allocate %d."},
    {kMsgCorruptSpiLine, "Corrupt spi file '%s', header on line %d"},
    {kMsgFileCorrupt, "File '%s' is corrupt."},
    {kMsgUnknownSpiRecord,
     "Ignoring unknown record type in .spi file, file either invalid or created with newer tools."},
    {kMsgUnrecognizedProperties,
     "%s contains unrecognized properties value, 0x%" PRIx64 ", in header. Data may be ignored."},
    {kMsgUnrecognizedDpiHeader, "%s has unrecognized dpi file header, ignored."},
    {kMsgCantReadDpi, "Can't read .dpi file, %s"},
    {kMsgSkippableSegment,
     "Unrecognized segment id, 0x%" PRIx64 ", at offset, 0x%x, in %s. Attempting to skip segment."},
    {kMsgUnrecognizedSegment,
     "File '%s' is corrupt. Unrecognized segment id, 0x%" PRIx64 ", at offset, 0x%x."},
    {kMsgFileCorruptIgnored, "File '%s' corrupt, ignored."},
    {kMsgUnexpectedEof, "File '%s' corrupt. Unexpected end-of-file."},
    {kMsgIncompatibleFormat,
     "%s has old or incompatible file format. Delete file and redo instrumentation compilation/execution."},
    {kMsgDuplicateKey, "Multiple profile entries in %s match lookup key, %s"},
    {kMsgCorruptFlowGraph, "Corrupt flow graph in .dpi. Ignoring profile flow graph for %s."},
    {kMsgDpiNoRuns,
     "%s records no program runs; its execution counts cannot be used. Rerun the instrumented program."},
    {kMsgBanner,
     "Vorel(R) Code Coverage Tool, Version 1.0.0\n"
     "Copyright (C) 2026 Vorel Corporation. All rights reserved.\n"},
    {kMsgBannerVxWorks7,
     "Vorel(R) Code Coverage Tool for VxWorks 7 targets, Version 1.0.0\n"
     "Copyright (C) 2026 Vorel Corporation. All rights reserved.\n"},
    {kMsgDisplayName, "Vorel(R) Code-Coverage Tool"},
};

bool g_vxworks7 = false;

}  // namespace

const char* catalog_text(int number) {
  for (const Entry& e : kCatalog)
    if (e.number == number) return e.text;
  return nullptr;
}

void print_banner(std::FILE* stream) {
  std::fputs(catalog_text(g_vxworks7 ? kMsgBannerVxWorks7 : kMsgBanner), stream);
}

void select_vxworks7_banner(bool on) { g_vxworks7 = on; }

const char* product_display_name() { return catalog_text(kMsgDisplayName); }

}  // namespace vorel
