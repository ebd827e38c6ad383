#include "import_gcov/import.h"

#include "import_gcov/gunzip.h"

namespace import_gcov {

// Profile files store names as lines or zero-ended strings: a name with a
// line end or a zero byte is refused while its input is known, not when the
// outputs are written.
bool check_name(const char* what, const std::string& name, std::string* error) {
  if (name.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos) return true;
  *error = std::string(what) + " \"" + escaped_name(name) +
           "\" holds a line end or a zero byte, which profile files cannot store";
  return false;
}

bool check_names(const GcovUnit& unit, std::string* error) {
  if (!check_name("working directory", unit.current_working_directory, error) ||
      !check_name("data file", unit.data_file, error))
    return false;
  for (const GcovFile& f : unit.files) {
    if (!check_name("source file", f.name, error)) return false;
    for (const GcovFunction& fn : f.functions)
      if (!check_name("function", fn.name, error)) return false;
    for (const std::string& name : f.line_functions)
      if (!check_name("function", name, error)) return false;
  }
  return true;
}

std::string escaped_name(std::string_view name) {
  std::string out;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else if (u < 0x20 || u == 0x7F) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out;
}

bool parse_gcov_bytes(std::string_view bytes, GcovUnit* out, std::string* error) {
  if (!looks_gzipped(bytes)) return parse_gcov_json(bytes, out, error) && check_names(*out, error);
  std::string text;
  if (!gunzip(bytes, &text, error, kMaxJsonBytes)) return false;
  return parse_gcov_json(text, out, error) && check_names(*out, error);
}

}  // namespace import_gcov
