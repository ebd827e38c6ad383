// Mapping section grammar: "<H>", then sections "<M1>n" ... "</M1>",
// "<F1>n" ... "</F1>", "<R1>n" ... "</R1>", "<D1>n" ... "</D1>" in any order,
// then "</H>". Empty lines are ignored. Entries:
//   module:       id position record-count root-length full-name
//   source file:  id root-length full-name
//   routine/data: id name
// fields cut at single spaces from the left, the name running to the line
// end (it may hold spaces).
#include "profile/spi_mapping.h"

#include <algorithm>
#include <cstring>

#include "profile/file_access.h"
#include "profile/spi_file.h"
#include "profile/spi_scan.h"

namespace vorel {

namespace {

enum Key { kH, kEndH, kM1, kEndM1, kF1, kEndF1, kR1, kEndR1, kD1, kEndD1, kNoKey };
constexpr const char* kKeys[] = {"<H>", "</H>", "<M1>", "</M1>", "<F1>",
                                 "</F1>", "<R1>", "</R1>", "<D1>", "</D1>"};

// The first key that is a prefix of the line, for lines beginning with '<'.
Key key_of(const std::string& line) {
  if (line.empty() || line[0] != '<') return kNoKey;
  for (int k = kH; k < kNoKey; ++k)
    if (line.compare(0, std::strlen(kKeys[k]), kKeys[k]) == 0) return static_cast<Key>(k);
  return kNoKey;
}

// Sections: index 0 modules, 1 files, 2 routine names, 3 data references.
constexpr int kNoSection = -1;
int section_of_start(Key k) {
  switch (k) {
    case kM1: return 0;
    case kF1: return 1;
    case kR1: return 2;
    case kD1: return 3;
    default: return kNoSection;
  }
}
constexpr Key kStartKey[] = {kM1, kF1, kR1, kD1};
constexpr Key kEndKey[] = {kEndM1, kEndF1, kEndR1, kEndD1};
constexpr const char* kDuplicateStart[] = {
    "Duplicate module mapping initialization key", "Duplicate file mapping initialization key",
    "Duplicate routine mapping initialization key", "Duplicate data ref mapping initialization key"};
constexpr const char* kParseError[] = {"Error parsing module map, '%s'", "Error parsing file map, '%s'",
                                       "Error parsing string map, '%s'", "Error parsing string map, '%s'"};

std::string format_reason(const char* fmt, const std::string& arg) {
  std::string out(fmt);
  out.replace(out.find("%s"), 2, arg);
  return out;
}

// Cuts `n` fields at single spaces; `rest` is what follows the last cut.
bool cut_fields(const std::string& line, int n, std::string_view* fields, std::string_view* rest) {
  std::string_view s(line);
  for (int i = 0; i < n; ++i) {
    size_t sp = s.find(' ');
    if (sp == std::string_view::npos) return false;
    fields[i] = s.substr(0, sp);
    s.remove_prefix(sp + 1);
  }
  *rest = s;
  return true;
}

// A decimal field of an entry; anything that is not a number reads as 0,
// which no id accepts.
uint64_t field_u64(std::string_view field) {
  std::string text(field);
  const char* p = text.c_str();
  uint64_t v = 0;
  return scan_dec_u64(p, &v) ? v : 0;
}
uint32_t field_u32(std::string_view field) {
  uint64_t v = field_u64(field);
  return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

class MappingParser {
 public:
  explicit MappingParser(SpiFile& f) : f_(f) {}
  bool run(std::string* reason);

 private:
  bool start_section(int section, const std::string& line);
  bool entry(int section, const std::string& line);
  bool fail(std::string reason) {
    reason_ = std::move(reason);
    return false;
  }

  SpiFile& f_;
  bool created_[4] = {};
  std::string reason_;
};

bool MappingParser::start_section(int section, const std::string& line) {
  if (created_[section]) return fail(kDuplicateStart[section]);
  created_[section] = true;
  int32_t count = c_atoi(line.c_str() + std::strlen(kKeys[kStartKey[section]]));
  // Every id needs an entry line of its own somewhere in the file, so a count
  // beyond the file size is corrupt; checked before the list is sized.
  if (count < 0 || static_cast<uint64_t>(count) > f_.file_size)
    return fail("Section count " + std::to_string(count) + " does not fit the file");
  uint32_t n = static_cast<uint32_t>(count);
  switch (section) {
    case 0: f_.modules = IdList<SpiModule>(n); break;
    case 1: f_.files = IdList<SpiName>(n); break;
    case 2: f_.routines = IdList<std::string>(n); break;
    default: f_.data_refs = IdList<std::string>(n); break;
  }
  return true;
}

bool MappingParser::entry(int section, const std::string& line) {
  std::string_view fields[4], name;
  const int cuts = section == 0 ? 4 : section == 1 ? 2 : 1;
  if (!cut_fields(line, cuts, fields, &name)) return fail(format_reason(kParseError[section], line));
  // A NUL would cut the name short wherever it is used as a C string (page
  // names, lookups): such a file is corrupt.
  if (name.find('\0') != std::string_view::npos) return fail("Name holds a NUL byte");
  uint32_t id = field_u32(fields[0]);
  bool added;
  if (section >= 2) {
    auto s = std::make_unique<std::string>(name);
    added = (section == 2 ? f_.routines : f_.data_refs).add(id, std::move(s));
  } else {
    uint32_t root_len = field_u32(fields[section == 0 ? 3 : 1]);
    if (root_len > name.size()) return fail("root_len <= strlen(name)");
    SpiName n{std::string(name), root_len};
    if (section == 1) {
      added = f_.files.add(id, std::make_unique<SpiName>(std::move(n)));
    } else {
      auto m = std::make_unique<SpiModule>();
      m->id = id;
      m->name = std::move(n);
      m->position = f_.version >= 8 ? field_u64(fields[1]) : field_u32(fields[1]);
      m->record_count = field_u32(fields[2]);
      added = f_.modules.add(id, std::move(m));
    }
  }
  if (!added) return fail(format_reason("Id for '%s' is out of range", std::string(name)));
  return true;
}

bool MappingParser::run(std::string* reason) {
  const LineMode mode = f_.binary ? LineMode::kBinary : LineMode::kText;
  enum { kExpectHeader, kBetween, kInSection } state = kExpectHeader;
  int section = kNoSection;
  for (;;) {
    const std::string& line = read_line(mode, f_.fp);
    if (line.empty()) {
      if (std::feof(f_.fp) || std::ferror(f_.fp)) break;
      continue;
    }
    Key key = key_of(line);
    bool ok = true;
    if (state == kExpectHeader) {
      if (key != kH) ok = fail("Expected to find mapping start key");
      state = kBetween;
    } else if (state == kBetween) {
      if (key == kEndH) return true;
      section = section_of_start(key);
      if (section == kNoSection) ok = fail("Expected to find section mapping start key");
      else ok = start_section(section, line);
      state = kInSection;
    } else if (key == kEndKey[section]) {
      state = kBetween;
    } else {
      ok = entry(section, line);
    }
    if (!ok) {
      *reason = reason_;
      return false;
    }
  }
  *reason = "Could not parse mapping section";
  return false;
}

void sort_modules(SpiFile& f) {
  f.sorted_modules.clear();
  for (const auto& m : f.modules.elements())
    if (m) f.sorted_modules.push_back(m.get());
  std::stable_sort(f.sorted_modules.begin(), f.sorted_modules.end(),
                   [](const SpiModule* a, const SpiModule* b) {
                     return a->name.short_name() < b->name.short_name();
                   });
}

}  // namespace

bool spi_parse_mapping(SpiFile& f, std::string* reason) {
  uint64_t back = checked_tell64(f.fp, f.name.c_str());
  if (f.mapping_offset >= f.file_size) {
    *reason = "Could not parse mapping section";
    return false;
  }
  checked_seek64(f.fp, f.mapping_offset, f.name.c_str());
  MappingParser parser(f);
  bool ok = parser.run(reason);
  std::clearerr(f.fp);
  checked_seek64(f.fp, back, f.name.c_str());
  if (ok) sort_modules(f);
  return ok;
}

}  // namespace vorel
