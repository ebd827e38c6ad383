#include "report/page_names.h"

#include "coverage/report_names.h"

#include <cstdint>

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

namespace {

// Longest file name, in bytes.
constexpr size_t kFileNameLimit = 255;

// The page numbers of the sort orders (order + 3, orders +-1..3).
constexpr int kOrderPages[] = {0, 1, 2, 4, 5, 6};

}  // namespace

PageNameRule html_page_rule(std::string_view ext) {
  PageNameRule rule;
  rule.source_suffixes = {"", "_SRC"};
  for (const char* list : {"_CVRDFNCS_", "_UNCVRDFNCS_"})
    for (int n : kOrderPages) rule.source_suffixes.push_back(list + std::to_string(n));
  rule.reserved = {report_stem("__ToolBar"), report_stem("__Help"), report_stem("__Code_Coverage")};
  for (const char* list : {"__Covered_Files_Coverage", "__Uncovered_Files_Coverage"})
    for (int n : kOrderPages) rule.reserved.push_back(report_stem(numbered(list, n)));
  rule.stem_limit = kFileNameLimit - 1 - ext.size();
  return rule;
}

PageNameRule line_coverage_page_rule() {
  PageNameRule rule;
  rule.stem_limit = kFileNameLimit - std::string_view(".LCOV").size();
  return rule;
}

std::string source_view_name(std::string_view report_name, std::string_view ext, char sep) {
  std::string base = std::string(report_name) + "_SRC";
  return sep ? dir_name(base, ext, sep) : plain_name(base, ext);
}

}  // namespace vorel
