#include "report/page_names.h"

#include "coverage/report_names.h"

namespace vorel {

namespace {

// Applies the page-name rule (coverage/report_names.h) to `name`, the part
// after any directory prefix, and appends the upper-cased extension.
std::string transform(std::string_view name, std::string_view ext) {
  std::string out = report_stem(name);
  out += '.';
  for (char c : ext) out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return out;
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
