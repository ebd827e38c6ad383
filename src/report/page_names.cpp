#include "report/page_names.h"

#include <cstring>

#include "driver/name_buffer.h"

namespace vorel {

namespace {

// Applies the name rule to `name` (the part after any directory prefix).
// The name is built in the process-wide name buffer, which reports a name
// too large to allocate; the caller receives its own copy.
std::string transform(std::string_view name, std::string_view ext) {
  const size_t size = name.size() + 1 + ext.size();
  char* buf = name_buffer_request(size + 1);
  std::memcpy(buf, name.data(), name.size());
  char* dot = nullptr;
  for (size_t i = 0; i < name.size(); ++i)
    if (buf[i] == '.') dot = buf + i;
  if (dot) *dot = '_';
  for (size_t i = 0; i < name.size(); ++i)
    if (buf[i] == '/' || buf[i] == ':' || buf[i] == '\\') buf[i] = '_';
  buf[name.size()] = '.';
  std::memcpy(buf + name.size() + 1, ext.data(), ext.size());
  for (size_t i = 0; i < size; ++i)
    if (buf[i] >= 'a' && buf[i] <= 'z') buf[i] = static_cast<char>(buf[i] - 'a' + 'A');
  return std::string(buf, size);
}

std::string numbered(std::string_view base, int number) {
  return std::string(base) + "_" + std::to_string(number);
}

std::string with_prefix(std::string name, char sep) {
  return std::string(kReportDirectory) + sep + name;
}

}  // namespace

std::string plain_name(std::string_view base, std::string_view ext) {
  return transform(base, ext);
}

std::string numbered_name(std::string_view base, int number, std::string_view ext) {
  return transform(numbered(base, number), ext);
}

std::string dir_name(std::string_view base, std::string_view ext, char sep) {
  return with_prefix(plain_name(base, ext), sep);
}

std::string numbered_dir_name(std::string_view base, int number, std::string_view ext, char sep) {
  return with_prefix(numbered_name(base, number, ext), sep);
}

std::string source_view_name(std::string_view report_name, std::string_view ext, char sep) {
  std::string base = std::string(report_name) + "_SRC";
  return sep ? dir_name(base, ext, sep) : plain_name(base, ext);
}

}  // namespace vorel
