// Record decoding. Text records are lines of eight hexadecimal words
// ("%02x %08x %08x %08x %08x %08x %08x %08x"); binary records are 32 bytes,
// eight little-endian u32 words, turned into that same text line so that one
// decoder serves both encodings.
#include "profile/spi_records.h"

#include <climits>
#include <cstring>

#include "base/catalog.h"
#include "base/diag.h"
#include "profile/file_access.h"
#include "profile/spi_file.h"
#include "profile/spi_scan.h"

namespace vorel {

namespace {

constexpr int32_t kMaxKind = 6;
constexpr size_t kBinaryRecord = 32;

// Composed, short and root form of a stored name, as a kind-1 record hands
// them out: a stored root is replaced by the configured source root.
void name_fields(const SpiFile& f, const SpiName& n, std::string* composed, std::string* short_name,
                 std::string* root, bool* rooted) {
  *rooted = n.root_len != 0;
  short_name->assign(n.short_name());
  if (*rooted) {
    root->assign(f.src_root);
    spi_compose_name(f.src_root, n.short_name(), f.separator, composed);
  } else {
    root->clear();
    composed->assign(n.full);
  }
}

// Kinds 1-3 name a module, a source file and a routine that must exist;
// kind 2 also a callee (routine-name map), kind 3 a data name.
bool resolve_names(SpiFile& f, SpiRecord& r) {
  const SpiModule* m = f.modules.get(r.w[kW1]);
  const SpiName* file = f.files.get(r.w[kW2]);
  const std::string* routine = f.routines.get(r.w[kW3]);
  if (!m || !file || !routine) return false;
  r.routine_name.assign(*routine);
  if (r.kind == 1) {
    name_fields(f, *file, &r.file_name, &r.file_short, &r.file_root, &r.file_rooted);
    name_fields(f, m->name, &r.module_name, &r.module_short, &r.module_root, &r.module_rooted);
  } else {
    const std::string* target =
        (r.kind == 2 ? f.routines : f.data_refs).get(r.w[kW4]);
    if (!target) return false;
    r.target_name.assign(*target);
  }
  return true;
}

// Reads one record in its text form: the shared line of a text file, or
// `f.record_text` made from a binary record. Valid until the next read;
// nullptr at the end of data (an empty line, or nothing left of a binary
// file).
const char* read_record_text(SpiFile& f) {
  if (!f.binary) {
    const std::string& line = read_line(LineMode::kText, f.fp);
    return line.empty() ? nullptr : line.c_str();
  }
  unsigned char b[kBinaryRecord] = {};
  size_t got = std::fread(b, 1, sizeof b, f.fp);
  if (got == 0) return nullptr;
  uint32_t w[8] = {};
  if (got == sizeof b) {  // a short read yields an all-zero record
    for (int i = 0; i < 8; ++i)
      w[i] = uint32_t{b[4 * i]} | uint32_t{b[4 * i + 1]} << 8 | uint32_t{b[4 * i + 2]} << 16 |
             uint32_t{b[4 * i + 3]} << 24;
  }
  char line[96];
  int n = std::snprintf(line, sizeof line, "%02x %08x %08x %08x %08x %08x %08x %08x", w[0], w[1],
                        w[2], w[3], w[4], w[5], w[6], w[7]);
  f.record_text.assign(line, static_cast<size_t>(n));
  return f.record_text.c_str();
}

}  // namespace

void spi_compose_name(std::string_view root, std::string_view name, char separator, std::string* out) {
  out->assign(root);
  if (!root.empty() && root.back() != separator && (name.empty() || name.front() != separator))
    out->push_back(separator);
  out->append(name);
}

int spi_decode_record(SpiFile& f, const char* text) {
  int32_t kind = c_atoi(text);
  if (kind < 0 || kind > kMaxKind) {
    catalog_warning(kMsgUnknownSpiRecord);
    return 0;
  }
  SpiRecord& r = f.record;
  r.kind = kind;
  if (!scan_record_words(text, r.w)) return -1;
  if (r.w[kW0] != static_cast<uint32_t>(kind)) return -1;
  bool has_ids = kind >= 1 && kind <= 5;
  r.module_id = has_ids ? r.w[kW1] : 0;
  r.routine_id = has_ids ? r.w[kW3] : 0;
  if (kind >= 1 && kind <= 3 && !resolve_names(f, r)) return -1;
  if (kind == 4 && (r.module_id != f.prev_module_id || r.routine_id != f.prev_routine_id)) return -1;
  f.prev_module_id = r.module_id;
  f.prev_routine_id = r.routine_id;
  return 1;
}

bool spi_next_module(SpiFile& f) {
  f.peeked = false;
  while (f.module_cursor < f.sorted_modules.size()) {
    const SpiModule* m = f.sorted_modules[f.module_cursor++];
    f.current_module_id = m->id;
    // A module whose records would start inside the mapping section has none.
    if (m->position >= f.mapping_offset) continue;
    checked_seek64(f.fp, m->position, f.name.c_str());
    // The line before the module's first record in a text file with a
    // 13-byte header line and 67-byte record lines.
    int64_t line = (static_cast<int64_t>(m->position) - 13) / 67 + 1;
    f.line_count = line > INT_MAX ? INT_MAX : static_cast<int>(line);
    return true;
  }
  f.exhausted = true;
  return false;
}

const SpiRecord* spi_next_record(SpiFile& f, int* status) {
  if (f.peeked) {
    *status = 1;
    return &f.record;
  }
  while (!f.exhausted) {
    uint64_t pos = checked_tell64(f.fp, f.name.c_str());
    if (pos >= f.mapping_offset) {
      spi_next_module(f);
      continue;
    }
    const char* text = read_record_text(f);
    if (!text) break;
    if (f.line_count < INT_MAX) ++f.line_count;
    int rc = spi_decode_record(f, text);
    if (rc == 0) continue;
    if (rc < 0) {
      *status = -1;
      return nullptr;
    }
    f.record.position = pos;
    f.peeked = true;
    *status = 1;
    return &f.record;
  }
  f.exhausted = true;
  *status = 0;
  return nullptr;
}

void spi_consume_record(SpiFile& f) { f.peeked = false; }

}  // namespace vorel
