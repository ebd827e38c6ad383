#include "import_gcov/import.h"

#include "import_gcov/gunzip.h"

namespace import_gcov {

bool parse_gcov_bytes(std::string_view bytes, GcovUnit* out, std::string* error) {
  if (!looks_gzipped(bytes)) return parse_gcov_json(bytes, out, error);
  std::string text;
  if (!gunzip(bytes, &text, error, kMaxJsonBytes)) return false;
  return parse_gcov_json(text, out, error);
}

}  // namespace import_gcov
