// Reading byte ranges of an open dynamic profile file through a read-ahead
// window, so that walking thousands of small segments costs few reads.
#include <algorithm>
#include <cstdint>

#include "base/catalog.h"
#include "base/diag.h"
#include "profile/dpi_cursor.h"
#include "profile/dpi_file_impl.h"
#include "profile/file_access.h"

namespace vorel {

DpiFile::Impl::~Impl() {
  if (fp) std::fclose(fp);
}

void dpi_corrupt(const DpiFile& f) { catalog_error(kMsgFileCorrupt, f.name.c_str()); }

void dpi_set_read_ahead(DpiFile& f, uint64_t bytes) {
  DpiFile::Impl& impl = *f.impl;
  if (bytes < impl.read_ahead) {
    impl.window = std::vector<uint8_t>();
    impl.window_len = 0;
  }
  impl.read_ahead = bytes;
}

namespace {
void read_exact(DpiFile& f, uint64_t pos, uint8_t* out, uint64_t len) {
  checked_seek64(f.impl->fp, pos, f.name.c_str());
  checked_read(out, 1, len, f.impl->fp, f.name.c_str());
}
}  // namespace

const uint8_t* dpi_read_range(DpiFile& f, uint64_t pos, uint64_t len) {
  DpiFile::Impl& impl = *f.impl;
  if (pos > impl.file_size || len > impl.file_size - pos) dpi_corrupt(f);
  if (pos >= impl.window_pos && pos - impl.window_pos <= impl.window_len &&
      len <= impl.window_len - (pos - impl.window_pos))
    return impl.window.data() + (pos - impl.window_pos);
  if (len > impl.read_ahead) {
    if (impl.buf.size() < len) impl.buf.resize(len);
    if (len != 0) read_exact(f, pos, impl.buf.data(), len);
    return impl.buf.data();
  }
  uint64_t n = std::min(impl.read_ahead, impl.file_size - pos);
  if (impl.window.size() < n) impl.window.resize(n);
  impl.window_len = 0;  // stays empty if the read ends the run
  if (n != 0) read_exact(f, pos, impl.window.data(), n);
  impl.window_pos = pos;
  impl.window_len = n;
  return impl.window.data();
}

uint32_t dpi_read_u32_at(DpiFile& f, uint64_t pos) { return load_u32(dpi_read_range(f, pos, 4)); }

uint64_t dpi_read_u64_at(DpiFile& f, uint64_t pos) { return load_u64(dpi_read_range(f, pos, 8)); }

size_t dpi_read_some(DpiFile& f, uint64_t pos, void* out, size_t len) {
  DpiFile::Impl& impl = *f.impl;
  checked_seek64(impl.fp, pos, f.name.c_str());
  return std::fread(out, 1, len, impl.fp);
}

}  // namespace vorel
