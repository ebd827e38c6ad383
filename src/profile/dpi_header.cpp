#include "profile/dpi_header.h"

#include <cstring>

#include "base/catalog.h"
#include "base/diag.h"
#include "profile/dpi_cursor.h"
#include "profile/dpi_file_impl.h"

namespace vorel {

namespace {

[[noreturn]] void cant_read(const DpiFile& f) { catalog_error(kMsgCantReadDpi, f.name.c_str()); }

// A fixed 512-byte string field; the last byte is forced to zero.
std::string header_string(const uint8_t* field) {
  char text[kHeaderStringSize];
  std::memcpy(text, field, sizeof text);
  text[sizeof text - 1] = '\0';
  return std::string(text);
}

// Reads `len` bytes at `pos` or ends the run with "Can't read .dpi file".
void read_or_fail(DpiFile& f, uint64_t pos, uint8_t* out, size_t len) {
  if (dpi_read_some(f, pos, out, len) != len) cant_read(f);
}

void read_fixed_header(DpiFile& f) {
  uint8_t h[kFixedHeaderSize];
  read_or_fail(f, 0, h, sizeof h);
  f.magic = load_u32(h);
  f.runs = load_u32(h + 4);
  f.routine_count = load_u32(h + 8);
  f.header_value = load_u32(h + 12);
  f.header_string = header_string(h + 16);
  f.segmented = false;
  f.impl->format_kind = 0;
  f.impl->first_segment = kFixedHeaderSize;
}

// Property extension of header version 0xDC0C, from offset 544 on.
void read_properties(DpiFile& f) {
  DpiFile::Impl& impl = *f.impl;
  uint64_t pos = 544;
  uint8_t b[8];
  read_or_fail(f, pos, b, 8);
  pos += 8;
  impl.properties = load_u64(b);
  if (impl.properties >= kPropKnownLimit)
    catalog_warning(kMsgUnrecognizedProperties, f.name.c_str(), impl.properties);
  f.property_flag0 = (impl.properties & kPropFlag0) != 0;
  if (impl.properties & kPropNodeValue) {
    read_or_fail(f, pos, b, 8);
    pos += 8;
    impl.node_value = load_u64(b);
  }
  if (impl.properties & kPropSecondString) {
    uint8_t s[kHeaderStringSize];
    read_or_fail(f, pos, s, sizeof s);
    f.second_header_string = header_string(s);
  }
}

void read_segmented_header(DpiFile& f) {
  uint8_t h[544];
  read_or_fail(f, 0, h, 8);
  f.magic = load_u64(h);
  if (f.magic != kDpiMagicSegmented) {
    catalog_warning(kMsgUnrecognizedDpiHeader, f.name.c_str());
    cant_read(f);
  }
  read_or_fail(f, 8, h + 8, sizeof h - 8);
  uint64_t extent = load_u64(h + 8);
  uint32_t version = load_u32(h + 16);
  f.runs = load_u32(h + 20);
  f.routine_count = load_u32(h + 24);
  f.header_value = load_u32(h + 28);
  f.header_string = header_string(h + 32);
  f.segmented = true;
  f.impl->format_kind = 1;
  // An extent past the end of the file leaves no segments to read.
  f.impl->first_segment = extent > f.impl->file_size ? f.impl->file_size : extent + 16;
  if (version == kDpiHeaderVersionProperties) read_properties(f);
}

}  // namespace

void dpi_read_header(DpiFile& f) {
  uint8_t first[4];
  bool fixed = dpi_read_some(f, 0, first, sizeof first) == sizeof first &&
               load_u32(first) == kDpiMagicFixed;
  if (fixed)
    read_fixed_header(f);
  else
    read_segmented_header(f);
}

}  // namespace vorel
