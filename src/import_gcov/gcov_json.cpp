// The structure of gcov's JSON: top object -> "files" -> per file
// "functions" and "lines". Unknown members are skipped, so newer gcov
// versions that add fields still read, as long as the format version is
// one this reader knows.
#include "import_gcov/gcov_json.h"

#include <unordered_map>

#include "import_gcov/json_cursor.h"

namespace import_gcov {

namespace {

bool fits_u32(JsonCursor& in, uint64_t v, const char* what, uint32_t* out) {
  if (v > UINT32_MAX) return in.fail(std::string(what) + " does not fit 32 bits");
  *out = static_cast<uint32_t>(v);
  return true;
}

bool read_u32(JsonCursor& in, const char* what, uint32_t* out) {
  uint64_t v;
  return in.unsigned_integer(&v, what) && fits_u32(in, v, what, out);
}

bool read_function(JsonCursor& in, GcovFunction* f) {
  bool has_name = false;
  bool ok = each_member(in, [&](const std::string& key) {
    if (key == "name") return has_name = in.string(&f->name);
    if (key == "demangled_name") return in.string(&f->demangled_name);
    if (key == "start_line") return read_u32(in, "start_line", &f->start_line);
    if (key == "start_column") return read_u32(in, "start_column", &f->start_column);
    if (key == "end_line") return read_u32(in, "end_line", &f->end_line);
    if (key == "end_column") return read_u32(in, "end_column", &f->end_column);
    if (key == "execution_count") return in.unsigned_integer(&f->execution_count, "execution_count");
    return in.skip_value();
  });
  if (ok && (!has_name || f->name.empty())) return in.fail("function without a name");
  return ok;
}

bool read_branch(JsonCursor& in, GcovBranch* b) {
  bool has_count = false;
  bool ok = each_member(in, [&](const std::string& key) {
    if (key == "count") return has_count = in.unsigned_integer(&b->count, "count");
    return in.skip_value();
  });
  if (ok && !has_count) return in.fail("branch without count");
  return ok;
}

struct NameTable {
  std::unordered_map<std::string, uint32_t> ids;
};

bool read_line(JsonCursor& in, GcovFile* file, NameTable& names, std::string& scratch, GcovLine* l) {
  bool has_line = false, has_count = false;
  bool ok = each_member(in, [&](const std::string& key) {
    if (key == "line_number") return has_line = read_u32(in, "line_number", &l->line_number);
    if (key == "count") return has_count = in.unsigned_integer(&l->count, "count");
    if (key == "unexecuted_block") return in.boolean(&l->unexecuted_block);
    if (key == "branches")
      return each_element(in, [&] {
        l->branches.emplace_back();
        return read_branch(in, &l->branches.back());
      });
    if (key == "function_name") {
      if (!in.string(&scratch)) return false;
      auto [it, added] = names.ids.emplace(scratch, static_cast<uint32_t>(file->line_functions.size()));
      if (added) file->line_functions.push_back(scratch);
      l->function = it->second;
      return true;
    }
    return in.skip_value();
  });
  if (ok && (!has_line || !has_count)) return in.fail("line without line_number or count");
  if (ok && l->line_number == 0) return in.fail("line number 0");
  return ok;
}

bool read_file(JsonCursor& in, GcovFile* file) {
  NameTable names;
  std::string scratch;
  bool has_name = false;
  bool ok = each_member(in, [&](const std::string& key) {
    if (key == "file") return has_name = in.string(&file->name);
    if (key == "functions")
      return each_element(in, [&] {
        file->functions.emplace_back();
        return read_function(in, &file->functions.back());
      });
    if (key == "lines")
      return each_element(in, [&] {
        file->lines.emplace_back();
        return read_line(in, file, names, scratch, &file->lines.back());
      });
    return in.skip_value();
  });
  if (ok && (!has_name || file->name.empty())) return in.fail("source file entry without a name");
  return ok;
}

}  // namespace

bool known_format_version(std::string_view version) { return version == "1" || version == "2"; }

namespace {

// One document at the cursor; `*error` as parse_gcov_json gives it.
bool read_unit(JsonCursor& in, GcovUnit* out, std::string* error) {
  bool has_files = false, has_version = false;
  bool ok = each_member(in, [&](const std::string& key) {
    if (key == "format_version") return has_version = in.string(&out->format_version);
    if (key == "gcc_version") return in.string(&out->gcc_version);
    if (key == "current_working_directory") return in.string(&out->current_working_directory);
    if (key == "data_file") return in.string(&out->data_file);
    if (key == "files") {
      has_files = true;
      return each_element(in, [&] {
        out->files.emplace_back();
        return read_file(in, &out->files.back());
      });
    }
    return in.skip_value();
  });
  if (!ok) {
    *error = "not gcov JSON: " + in.error();
    return false;
  }
  if (!has_files || !has_version) {
    *error = "not gcov JSON: no \"files\" or no \"format_version\"";
    return false;
  }
  if (!known_format_version(out->format_version)) {
    *error = "gcov JSON format_version \"" + out->format_version +
             "\" is not known (known: \"1\" from GCC 12 and 13, \"2\" from GCC 14)";
    return false;
  }
  return true;
}

}  // namespace

bool parse_gcov_json(std::string_view text, GcovUnit* out, std::string* error) {
  JsonCursor in(text);
  if (!read_unit(in, out, error)) return false;
  if (!in.at_end()) {
    in.fail("text after the JSON value");
    *error = "not gcov JSON: " + in.error();
    return false;
  }
  return true;
}

bool parse_gcov_documents(std::string_view text, std::vector<GcovUnit>* out, std::string* error) {
  JsonCursor in(text);
  while (!in.at_end()) {
    out->emplace_back();
    if (!read_unit(in, &out->back(), error)) return false;
  }
  return true;
}

}  // namespace import_gcov
