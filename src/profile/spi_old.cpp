// Old layout entries, read token by token with the C formatted-input rules
// (white space separates tokens; a string is read with a width limit equal to
// its announced length):
//   V3, V4: "V%d", lengths of file root, file name, module root, module name,
//           routine name; the file root (only when its length is not 0), the
//           file name, the module root (likewise), the module name, the
//           routine name; start line (%u), block count, value B, linkage
//   V2:     "V%d", lengths of file, module and routine name; the three
//           names; start line, block count, value B, linkage
//   V1:     as V2 without value B (it is 0)
// An entry without "V" or with a version outside 1-4 is read as version 1
// without lengths, with the widths 260, 260 and 4096, from where it began.
//
// The rest of the entry's line holds its call sites and data references as
// further tokens, in any order:
//   C <callee> <block index> <source line> <call flags>
//   D <data name> <value 1> <value 2>
// (numbers unsigned decimal). Any other token there is a corrupt entry.
#include "profile/spi_old.h"

#include <cctype>
#include <cstring>

#include "base/catalog.h"
#include "base/diag.h"
#include "profile/file_access.h"
#include "profile/spi_file.h"
#include "profile/spi_scan.h"

namespace vorel {

namespace {

constexpr int32_t kFallbackWidths[3] = {260, 260, 4096};

// Token reader over the stream that counts the line feeds it passes.
class Tokens {
 public:
  explicit Tokens(SpiFile& f) : f_(f) {}
  // Skips white space; false at the end of the file.
  bool skip_space() {
    int c;
    while ((c = std::getc(f_.fp)) != EOF && std::isspace(c))
      if (c == '\n') ++newlines_;
    if (c == EOF) return false;
    std::ungetc(c, f_.fp);
    return true;
  }
  // A white-space delimited token of at most `width` characters.
  bool string(int32_t width, std::string* out) {
    out->clear();
    if (width <= 0 || !skip_space()) return false;
    int c;
    while (static_cast<int32_t>(out->size()) < width && (c = std::getc(f_.fp)) != EOF) {
      if (std::isspace(c)) {
        std::ungetc(c, f_.fp);
        break;
      }
      out->push_back(static_cast<char>(c));
    }
    return !out->empty();
  }
  bool number_i32(int32_t* v) {
    std::string t;
    const char* p;
    return string(kNumberWidth, &t) && (p = t.c_str(), scan_dec_i32(p, v)) && *p == '\0';
  }
  bool number_u32(uint32_t* v) {
    std::string t;
    const char* p;
    return string(kNumberWidth, &t) && (p = t.c_str(), scan_dec_u32(p, v)) && *p == '\0';
  }
  bool character(char* c) {
    if (!skip_space()) return false;
    *c = static_cast<char>(std::getc(f_.fp));
    return true;
  }
  int newlines() const { return newlines_; }
  void set_newlines(int n) { newlines_ = n; }

 private:
  static constexpr int32_t kNumberWidth = 64;
  SpiFile& f_;
  int newlines_ = 0;
};

struct OldEntry {
  int32_t version = 1;
  int32_t len[5] = {};  // v3/v4: file root, file, module root, module, routine
  std::string file_root, file, module_root, module, routine;
  uint32_t start_line = 0;
  int32_t block_count = 0, value_b = 0;
  char linkage = 'E';
};

bool read_names_v34(Tokens& t, OldEntry& e) {
  for (int32_t& n : e.len)
    if (!t.number_i32(&n) || n < 0) return false;
  return (e.len[0] == 0 || t.string(e.len[0], &e.file_root)) && t.string(e.len[1], &e.file) &&
         (e.len[2] == 0 || t.string(e.len[2], &e.module_root)) && t.string(e.len[3], &e.module) &&
         t.string(e.len[4], &e.routine) && t.number_u32(&e.start_line);
}

bool read_names_v12(Tokens& t, OldEntry& e, const int32_t* widths) {
  int32_t start = 0;
  bool ok = t.string(widths[0], &e.file) && t.string(widths[1], &e.module) &&
            t.string(widths[2], &e.routine) && t.number_i32(&start);
  e.start_line = static_cast<uint32_t>(start);
  return ok;
}

bool read_entry(Tokens& t, OldEntry& e, bool versioned) {
  bool ok;
  if (!versioned) {
    ok = read_names_v12(t, e, kFallbackWidths);
  } else if (e.version >= 3) {
    ok = read_names_v34(t, e);
  } else {
    ok = t.number_i32(&e.len[0]) && t.number_i32(&e.len[1]) && t.number_i32(&e.len[2]) &&
         read_names_v12(t, e, e.len);
  }
  // A NUL inside a name would cut it short where it is used as a C string.
  for (const std::string* name : {&e.file_root, &e.file, &e.module_root, &e.module, &e.routine})
    ok = ok && name->find('\0') == std::string::npos;
  ok = ok && t.number_i32(&e.block_count);
  if (ok && versioned && e.version >= 2) ok = t.number_i32(&e.value_b);
  return ok && t.character(&e.linkage);
}

// Call sites and data references from the rest of the entry's line.
bool read_rest(const std::string& rest, SpiRoutine& routine) {
  if (rest.find('\0') != std::string::npos) return false;  // a NUL inside a callee or data name
  std::vector<std::string> tok;
  size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && std::isspace(static_cast<unsigned char>(rest[i]))) ++i;
    size_t j = i;
    while (j < rest.size() && !std::isspace(static_cast<unsigned char>(rest[j]))) ++j;
    if (j > i) tok.emplace_back(rest, i, j - i);
    i = j;
  }
  auto num = [&tok](size_t k, uint32_t* v) {
    const char* p = tok[k].c_str();
    return scan_dec_u32(p, v) && *p == '\0';
  };
  for (size_t k = 0; k < tok.size();) {
    if (tok[k] == "C" && k + 4 < tok.size()) {
      SpiCallSite c{tok[k + 1]};
      if (!num(k + 2, &c.block_index) || !num(k + 3, &c.line) || !num(k + 4, &c.flags)) return false;
      routine.call_sites.push_back(std::move(c));
      k += 5;
    } else if (tok[k] == "D" && k + 3 < tok.size()) {
      SpiDataRef d{tok[k + 1]};
      if (!num(k + 2, &d.value1) || !num(k + 3, &d.value2)) return false;
      routine.data_refs.push_back(std::move(d));
      k += 4;
    } else {
      return false;
    }
  }
  return true;
}

// Versions 3 and 4 compose names from a root and the name: the configured
// source root when one is set and the stored root is not empty, otherwise
// the stored root.
void compose(const SpiFile& f, int32_t root_len, const std::string& stored_root,
             const std::string& name, std::optional<std::string>* root_out, std::string* out) {
  const std::string& root = (!f.src_root.empty() && root_len != 0) ? f.src_root : stored_root;
  spi_compose_name(root, name, f.separator, out);
  if (root_len != 0) *root_out = root;
}

SpiRoutineInfo entry_info(const SpiFile& f, const OldEntry& e, uint64_t position) {
  SpiRoutineInfo info;
  info.version = e.version;
  info.file_short_name = e.file;
  info.module_short_name = e.module;
  if (e.version >= 3) {
    compose(f, e.len[0], e.file_root, e.file, &info.file_root, &info.file_name);
    compose(f, e.len[2], e.module_root, e.module, &info.module_root, &info.module_name);
  } else {
    info.file_name = e.file;
    info.module_name = e.module;
  }
  info.routine_name = e.routine;
  info.start_line = e.start_line;
  info.block_count = static_cast<uint32_t>(e.block_count);
  info.value_b = static_cast<uint32_t>(e.value_b);
  info.linkage = e.linkage;
  info.position = position;
  return info;
}

}  // namespace

int spi_old_next_routine(SpiFile& f, SpiRoutineInfo* out) {
  Tokens t(f);
  t.set_newlines(f.line_count);
  if (!t.skip_space()) {
    f.line_count = t.newlines();
    return 0;
  }
  const uint64_t start = checked_tell64(f.fp, f.name.c_str());
  const int line = t.newlines() + 1;
  OldEntry e;
  bool versioned = std::getc(f.fp) == 'V' && t.number_i32(&e.version) && e.version >= 1 &&
                   e.version <= 4;
  if (!versioned) {
    checked_seek64(f.fp, start, f.name.c_str());
    t.set_newlines(line - 1);
    e.version = 1;
  }
  f.routine = std::make_unique<SpiRoutine>();
  if (!read_entry(t, e, versioned)) catalog_error(kMsgCorruptSpiLine, f.name.c_str(), line);
  f.routine->info = entry_info(f, e, start);
  // The rest of the line; the line feed that ends it is counted too.
  bool ended = false;
  const std::string& rest = read_line(LineMode::kText, f.fp);
  ended = !std::feof(f.fp);
  if (!read_rest(rest, *f.routine)) catalog_error(kMsgCorruptSpiLine, f.name.c_str(), line);
  f.line_count = t.newlines() + (ended ? 1 : 0);
  *out = f.routine->info;
  return 1;
}

}  // namespace vorel
