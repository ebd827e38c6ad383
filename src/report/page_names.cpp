#include "report/page_names.h"

namespace vorel {

namespace {

// Applies the name rule to `name` (the part after any directory prefix).
std::string transform(std::string name, std::string_view ext) {
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name[dot] = '_';
  for (char& c : name)
    if (c == '/' || c == ':' || c == '\\') c = '_';
  name.push_back('.');
  name.append(ext);
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

std::string numbered(std::string_view base, int number) {
  return std::string(base) + "_" + std::to_string(number);
}

std::string with_prefix(std::string name, char sep) {
  return std::string(kReportDirectory) + sep + name;
}

}  // namespace

std::string plain_name(std::string_view base, std::string_view ext) {
  return transform(std::string(base), ext);
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
