// Reading byte ranges of an open dynamic profile file.
#include <cstdint>

#include "driver/catalog.h"
#include "driver/diag.h"
#include "profile/dpi_cursor.h"
#include "profile/dpi_file_impl.h"
#include "profile/file_access.h"

namespace vorel {

dpi_file::Impl::~Impl() {
  if (fp) std::fclose(fp);
}

void dpi_corrupt(const dpi_file& f) { catalog_error(kMsgFileCorrupt, f.name.c_str()); }

const uint8_t* dpi_read_range(dpi_file& f, uint64_t pos, uint64_t len) {
  dpi_file::Impl& impl = *f.impl;
  if (pos > impl.file_size || len > impl.file_size - pos) dpi_corrupt(f);
  if (impl.buf.size() < len) impl.buf.resize(len);
  if (len != 0) {
    checked_seek64(impl.fp, pos, f.name.c_str());
    checked_read(impl.buf.data(), 1, len, impl.fp, f.name.c_str());
  }
  return impl.buf.data();
}

namespace {
void read_exact_at(dpi_file& f, uint64_t pos, uint8_t* out, size_t len) {
  dpi_file::Impl& impl = *f.impl;
  if (pos > impl.file_size || len > impl.file_size - pos) dpi_corrupt(f);
  checked_seek64(impl.fp, pos, f.name.c_str());
  checked_read(out, 1, len, impl.fp, f.name.c_str());
}
}  // namespace

uint32_t dpi_read_u32_at(dpi_file& f, uint64_t pos) {
  uint8_t b[4];
  read_exact_at(f, pos, b, sizeof b);
  return load_u32(b);
}

uint64_t dpi_read_u64_at(dpi_file& f, uint64_t pos) {
  uint8_t b[8];
  read_exact_at(f, pos, b, sizeof b);
  return load_u64(b);
}

size_t dpi_read_some(dpi_file& f, uint64_t pos, void* out, size_t len) {
  dpi_file::Impl& impl = *f.impl;
  checked_seek64(impl.fp, pos, f.name.c_str());
  return std::fread(out, 1, len, impl.fp);
}

}  // namespace vorel
