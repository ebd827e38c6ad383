// Opening, iterating and closing a static profile file.
//
// Header line: 'V', the version as two decimal digits, then (versions 6 and
// above) the mapping-section offset in hexadecimal, 32-bit for versions 6
// and 7, 64-bit from version 8. A version-8+ header line holding "SPIB"
// announces 32-byte binary records; the file is then reopened in binary mode
// and the offset is the hexadecimal number after the first space.
#include <cstring>
#include <memory>
#include <sys/stat.h>

#include "base/catalog.h"
#include "base/diag.h"
#include "platform/file_open.h"
#include "platform/host.h"
#include "profile/file_access.h"
#include "profile/spi.h"
#include "profile/spi_file.h"
#include "profile/spi_mapping.h"
#include "profile/spi_old.h"
#include "profile/spi_routine.h"
#include "profile/spi_scan.h"

namespace vorel {

namespace {

constexpr int32_t kFirstRecordVersion = 6;
constexpr int32_t kRejectedVersion = 5;
constexpr int32_t kWideOffsetVersion = 8;
constexpr int32_t kNewestVersion = 8;

// The size of a regular file; false for anything else (a directory opens
// on POSIX but is no profile file).
bool regular_file_size(std::FILE* fp, uint64_t* size) {
  struct stat st {};
  if (::fstat(fileno(fp), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) return false;
  *size = static_cast<uint64_t>(st.st_size);
  return true;
}

// The version in bytes 1 and 2 of the header line, read as one number;
// -1 when no digit follows the 'V'.
int32_t header_version(const std::string& line) {
  if (line.size() < 2 || line[1] < '0' || line[1] > '9') return -1;
  std::string digits = line.substr(1, 2);
  return c_atoi(digits.c_str());
}

uint64_t header_offset(const char* text, int32_t version) {
  if (version >= kWideOffsetVersion) {
    uint64_t v = 0;
    return scan_hex_u64(text, &v) ? v : 0;
  }
  uint32_t v = 0;
  return scan_hex_u32(text, &v) ? v : 0;
}

// Reopens a "SPIB" file in binary mode and reads the mapping offset from
// its first line. False when the file cannot be reopened.
bool reopen_binary(SpiFile& f) {
  std::fclose(f.fp);
  f.fp = nullptr;
  f.fp = profile_open(f.name.c_str(), "rb");
  if (!f.fp) return false;
  f.binary = true;
  const std::string& line = read_line(LineMode::kBinary, f.fp);
  size_t space = line.find(' ');
  f.mapping_offset = space == std::string::npos ? 0 : header_offset(line.c_str() + space + 1, f.version);
  return true;
}

// Reads the header line; false when the file is not a static profile file.
bool read_header(SpiFile& f) {
  f.data_start = checked_tell64(f.fp, f.name.c_str());
  int c = std::getc(f.fp);
  if (c == EOF) return true;  // an empty file is version 0
  if (c != 'V') return false;
  std::ungetc(c, f.fp);
  std::string line = read_line(LineMode::kText, f.fp);
  f.version = header_version(line);
  // A version this reader does not know is refused before anything relies
  // on it (the option checks of the driver included).
  if (f.version < 0 || f.version > kNewestVersion) catalog_error(kMsgFileCorrupt, f.name.c_str());
  f.line_count = 1;
  if (f.version < kFirstRecordVersion) {
    // Old entries begin at the first byte; each entry carries its version.
    checked_seek64(f.fp, f.data_start, f.name.c_str());
    f.line_count = 0;
    return true;
  }
  std::string rest = line.size() > 3 ? line.substr(3) : std::string();
  if (f.version >= kWideOffsetVersion && rest.find("SPIB") != std::string::npos) return reopen_binary(f);
  f.mapping_offset = header_offset(rest.c_str(), f.version);
  return true;
}

}  // namespace

SpiFile* spi_open(const char* name, const std::string& src_root, SpiOpenFailure* failure) {
  SpiOpenFailure ignored;
  if (!failure) failure = &ignored;
  std::FILE* fp = profile_open(name, "rt");
  if (!fp) {
    *failure = last_open_failure().missing ? SpiOpenFailure::kMissing : SpiOpenFailure::kUnreadable;
    return nullptr;
  }
  auto f = std::make_unique<SpiFile>();
  f->fp = fp;
  f->name = name;
  f->src_root = src_root;
  f->separator = host_rules().separator;
  *failure = SpiOpenFailure::kUnreadable;
  if (!regular_file_size(fp, &f->file_size)) return nullptr;
  if (!read_header(*f)) {
    if (f->fp) *failure = SpiOpenFailure::kNotStatic;
    return nullptr;
  }
  if (f->version >= kFirstRecordVersion) {
    std::string reason;
    if (!spi_parse_mapping(*f, &reason)) catalog_error(kMsgFileCorrupt, name);
  }
  return f.release();
}

void print_spi_open_failure(const char* name, SpiOpenFailure failure) {
  switch (failure) {
    case SpiOpenFailure::kMissing:
      print_err("Couldn't find the spi file %s!\n", name);
      break;
    case SpiOpenFailure::kUnreadable:
      print_err("ERROR: Couldn't read the spi file %s: %s.\n", name, last_open_failure().reason.c_str());
      break;
    case SpiOpenFailure::kNotStatic:
      print_err("ERROR: %s is not a spi file: its first line is no version line (\"V\" and two "
                "digits).\n",
                name);
      break;
  }
}

int32_t spi_version(const SpiFile* f) { return f->version; }

int spi_next_routine(SpiFile* f, SpiRoutineInfo* out) {
  f->routine.reset();
  if (f->version == kRejectedVersion) return -1;
  if (f->version < kRejectedVersion) return spi_old_next_routine(*f, out);
  return spi_next_record_routine(*f, out);
}

const SpiRoutine* spi_current_routine(const SpiFile* f) { return f->routine.get(); }

int spi_next_call_site(SpiFile* f, SpiCallSite* out) {
  SpiRoutine* r = f->routine.get();
  if (!r || r->call_cursor >= r->call_sites.size()) return 0;
  *out = r->call_sites[r->call_cursor++];
  return 1;
}

int spi_line_count(const SpiFile* f) { return f->line_count; }

const std::string& spi_file_name(const SpiFile* f) { return f->name; }

const std::string* spi_routine_name(const SpiFile* f, uint32_t id) {
  return f->routines.get(id);
}

const std::string* spi_data_name(const SpiFile* f, uint32_t id) {
  return f->data_refs.get(id);
}

const std::string* spi_module_name(const SpiFile* f, uint32_t id) {
  const SpiModule* m = f->modules.get(id);
  return m ? &m->name.full : nullptr;
}

const std::string* spi_source_file_name(const SpiFile* f, uint32_t id) {
  const SpiName* n = f->files.get(id);
  return n ? &n->full : nullptr;
}

std::string spi_shared_file_root(const SpiFile* f) {
  std::string_view shared;
  for (const std::unique_ptr<SpiName>& n : f->files.elements()) {
    if (!n || n->root_len == 0) continue;
    std::string_view root = std::string_view(n->full).substr(0, n->root_len);
    if (!shared.empty() && root != shared) return "";
    shared = root;
  }
  return std::string(shared);
}

void spi_close(SpiFile* f) { delete f; }

}  // namespace vorel
