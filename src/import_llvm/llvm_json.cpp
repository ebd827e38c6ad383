// The structure of llvm-cov's export: top object -> "data" -> per export
// "files" (filename, segments) and "functions" (name, count, filenames,
// regions, branches). Unknown members are skipped; tuples may grow at their end.
#include "import_llvm/llvm_json.h"

#include "import_gcov/json_cursor.h"

namespace import_llvm {

using import_gcov::JsonCursor;
using import_gcov::each_element;
using import_gcov::each_member;

namespace {

bool read_u32(JsonCursor& in, const char* what, uint32_t limit, uint32_t* out) {
  uint64_t v;
  if (!in.unsigned_integer(&v, what)) return false;
  if (v > limit) return in.fail(std::string(what) + " " + std::to_string(v) + " is out of range");
  *out = static_cast<uint32_t>(v);
  return true;
}

// A tuple of at least `min` numbers and booleans: element i is read by
// `field(i)`; elements beyond those it knows are skipped.
template <class Field>
bool read_tuple(JsonCursor& in, size_t min, const char* what, Field field) {
  size_t i = 0;
  bool ok = each_element(in, [&] { return field(i++); });
  if (ok && i < min) return in.fail(std::string(what) + " with " + std::to_string(i) + " elements, not " +
                                    std::to_string(min));
  return ok;
}

bool backwards(uint32_t l1, uint32_t c1, uint32_t l2, uint32_t c2) { return l1 > l2 || (l1 == l2 && c1 > c2); }

bool runs_backwards(JsonCursor& in, const char* what, uint32_t l1, uint32_t c1, uint32_t l2, uint32_t c2) {
  if (l1 == 0) return !in.fail(std::string(what) + " at line 0");
  if (!backwards(l1, c1, l2, c2)) return false;
  return !in.fail(std::string(what) + " runs backwards (" + std::to_string(l1) + ":" + std::to_string(c1) + " to " +
                  std::to_string(l2) + ":" + std::to_string(c2) + ")");
}

// [line start, column start, line end, column end, true count, false count,
//  file id, expanded file id, kind]
bool read_branch(JsonCursor& in, LlvmBranch* b) {
  bool ok = read_tuple(in, 9, "branch", [&](size_t i) {
    switch (i) {
      case 0: return read_u32(in, "branch line", kMaxLine, &b->line_start);
      case 1: return read_u32(in, "branch column", UINT32_MAX, &b->column_start);
      case 2: return read_u32(in, "branch line", kMaxLine, &b->line_end);
      case 3: return read_u32(in, "branch column", UINT32_MAX, &b->column_end);
      case 4: return in.unsigned_integer(&b->true_count, "branch count");
      case 5: return in.unsigned_integer(&b->false_count, "branch count");
      case 6: return read_u32(in, "file id", UINT32_MAX, &b->file_id);
      default: return in.skip_value();
    }
  });
  return ok && !runs_backwards(in, "branch", b->line_start, b->column_start, b->line_end, b->column_end);
}

bool read_region(JsonCursor& in, LlvmRegion* r) {
  uint32_t kind = 0;
  bool ok = read_tuple(in, 8, "region", [&](size_t i) {
    switch (i) {
      case 0: return read_u32(in, "region line", kMaxLine, &r->line_start);
      case 1: return read_u32(in, "region column", UINT32_MAX, &r->column_start);
      case 2: return read_u32(in, "region line", kMaxLine, &r->line_end);
      case 3: return read_u32(in, "region column", UINT32_MAX, &r->column_end);
      case 4: return in.unsigned_integer(&r->count, "region count");
      case 5: return read_u32(in, "file id", UINT32_MAX, &r->file_id);
      case 6: return read_u32(in, "expanded file id", UINT32_MAX, &r->expanded_file_id);
      case 7: return read_u32(in, "region kind", 4, &kind);
      default: return in.skip_value();
    }
  });
  if (!ok) return false;
  r->kind = static_cast<RegionKind>(kind);
  if (r->line_start == 0) return in.fail("region at line 0");
  if (backwards(r->line_start, r->column_start, r->line_end, r->column_end))
    return in.fail("region runs backwards (" + std::to_string(r->line_start) + ":" +
                   std::to_string(r->column_start) + " to " + std::to_string(r->line_end) + ":" +
                   std::to_string(r->column_end) + ")");
  return true;
}

bool read_function(JsonCursor& in, LlvmFunction* f) {
  bool has_name = false, has_count = false;
  bool ok = each_member(in, [&](const std::string& key) {
    if (key == "name") return has_name = in.string(&f->name);
    if (key == "count") return has_count = in.unsigned_integer(&f->count, "function count");
    if (key == "filenames")
      return each_element(in, [&] {
        f->filenames.emplace_back();
        return in.string(&f->filenames.back());
      });
    if (key == "regions")
      return each_element(in, [&] {
        f->regions.emplace_back();
        return read_region(in, &f->regions.back());
      });
    if (key == "branches")
      return each_element(in, [&] {
        f->branches.emplace_back();
        return read_branch(in, &f->branches.back());
      });
    return in.skip_value();
  });
  if (!ok) return false;
  if (!has_name || f->name.empty() || !has_count) return in.fail("function record without a name or count");
  for (const LlvmRegion& r : f->regions) {
    const bool expands = r.kind == RegionKind::kExpansion;
    if (r.file_id >= f->filenames.size() || (expands && r.expanded_file_id >= f->filenames.size()))
      return in.fail("function " + f->name + ": file id out of range (" + std::to_string(f->filenames.size()) +
                     " files)");
  }
  for (const LlvmBranch& b : f->branches)
    if (b.file_id >= f->filenames.size())
      return in.fail("function " + f->name + ": branch file id out of range (" + std::to_string(f->filenames.size()) +
                     " files)");
  return true;
}

bool read_segment(JsonCursor& in, LlvmSegment* s) {
  return read_tuple(in, 6, "segment", [&](size_t i) {
    switch (i) {
      case 0: return read_u32(in, "segment line", kMaxLine, &s->line);
      case 1: return read_u32(in, "segment column", UINT32_MAX, &s->column);
      case 2: return in.unsigned_integer(&s->count, "segment count");
      case 3: return in.boolean(&s->has_count);
      case 4: return in.boolean(&s->region_entry);
      case 5: return in.boolean(&s->gap);
      default: return in.skip_value();
    }
  });
}

bool read_file(JsonCursor& in, LlvmFile* file) {
  bool has_name = false;
  bool ok = each_member(in, [&](const std::string& key) {
    if (key == "filename") return has_name = in.string(&file->filename);
    if (key == "mcdc_records") file->newer_line_view = true;
    if (key == "segments")
      return each_element(in, [&] {
        file->segments.emplace_back();
        if (!read_segment(in, &file->segments.back())) return false;
        const size_t n = file->segments.size();
        if (file->segments.back().line == 0) return in.fail("segment at line 0");
        if (n > 1 && backwards(file->segments[n - 2].line, file->segments[n - 2].column, file->segments[n - 1].line,
                               file->segments[n - 1].column))
          return in.fail("segments out of order");
        return true;
      });
    return in.skip_value();
  });
  if (ok && (!has_name || file->filename.empty())) return in.fail("file entry without a filename");
  return ok;
}

bool read_data(JsonCursor& in, LlvmExport* out) {
  return each_member(in, [&](const std::string& key) {
    if (key == "files")
      return each_element(in, [&] {
        out->files.emplace_back();
        return read_file(in, &out->files.back());
      });
    if (key == "functions")
      return each_element(in, [&] {
        out->functions.emplace_back();
        return read_function(in, &out->functions.back());
      });
    return in.skip_value();
  });
}

}  // namespace

bool known_export_version(std::string_view version) { return version.substr(0, 4) == "2.0." && version.size() > 4; }

bool parse_llvm_export(std::string_view text, LlvmExport* out, std::string* error) {
  JsonCursor in(text);
  std::string type;
  bool has_data = false;
  bool ok = each_member(in, [&](const std::string& key) {
    if (key == "type") return in.string(&type);
    if (key == "version") return in.string(&out->version);
    if (key == "data") return has_data = each_element(in, [&] { return read_data(in, out); });
    return in.skip_value();
  });
  if (ok && !in.at_end()) ok = in.fail("text after the JSON value");
  if (!ok) {
    *error = "not llvm-cov export JSON: " + in.error();
    return false;
  }
  if (type != "llvm.coverage.json.export" || !has_data) {
    *error = "not llvm-cov export JSON: no \"type\": \"llvm.coverage.json.export\" or no \"data\"";
    return false;
  }
  if (!known_export_version(out->version)) {
    *error = "llvm-cov export version \"" + out->version + "\" is not known (known: 2.0.x, from LLVM 14 to 19)";
    return false;
  }
  return true;
}

}  // namespace import_llvm
