// Opening and closing a dynamic profile file.
#include <cstdio>

#include "base/catalog.h"
#include "base/diag.h"
#include "profile/dpi_file_impl.h"
#include "profile/dpi_header.h"
#include "profile/dpi_index.h"
#include "profile/file_access.h"
#include "profile/imported.h"

namespace vorel {

DpiFile::DpiFile() = default;
DpiFile::~DpiFile() = default;

DpiFile* dpi_open(const char* name, const DpiOpenOptions& options) {
  // Held by a unique_ptr until indexed, so that a fatal stop on the way
  // (which unwinds to main) closes the stream.
  auto f = std::make_unique<DpiFile>();
  f->name = name;
  f->impl = std::make_unique<DpiFile::Impl>();
  DpiFile::Impl& impl = *f->impl;
  impl.options = options;
  impl.fp = profile_open(name, "rb");
  if (!impl.fp) return nullptr;
  checked_seek(impl.fp, 0, SEEK_END, name);
  impl.file_size = checked_tell64(impl.fp, name);
  dpi_read_header(*f);
  if (is_imported_header(f->header_string)) {
    f->imported = true;
    impl.options.src_root.clear();
  }
  // Counts are divided by the runs; a file without runs has no usable counts.
  if (f->runs == 0) catalog_error(kMsgDpiNoRuns, name);
  dpi_set_read_ahead(*f, kIndexReadAhead);
  if (f->routine_count != 0 && !dpi_build_index(*f)) return nullptr;
  dpi_set_read_ahead(*f, kLoadReadAhead);
  return f.release();
}

void dpi_close(DpiFile* f) { delete f; }

}  // namespace vorel
