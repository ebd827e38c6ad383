// lcov tracefile writer. The format is line-oriented: a line feed or a
// carriage return in a path (which would end its line) is written as '?';
// every other byte is kept, so readers find the file. Function names are
// cut at the first comma by lcov's readers, so in a name ',' is written as
// "%2C", '%' as "%25", and a line feed and a carriage return as "%0A" and
// "%0D".
#include <cstdio>
#include <string>

#include "coverage/file_figures.h"
#include "report/extension_outputs.h"

namespace vorel {

namespace {

std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = '?';
  return text;
}

std::string function_name(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    switch (c) {
      case ',': out += "%2C"; break;
      case '%': out += "%25"; break;
      case '\n': out += "%0A"; break;
      case '\r': out += "%0D"; break;
      default: out += c;
    }
  }
  return out;
}

void write_record(std::FILE* out, const FileFigures& file, const std::string& base_dir) {
  std::fprintf(out, "TN:\nSF:%s\n", one_line(absolute_from_base(file.name, base_dir)).c_str());
  for (const FunctionFigures& f : file.functions)
    std::fprintf(out, "FN:%u,%s\n", f.start_line, function_name(f.name).c_str());
  for (const FunctionFigures& f : file.functions)
    std::fprintf(out, "FNDA:%llu,%s\n", static_cast<unsigned long long>(f.hits),
                 function_name(f.name).c_str());
  std::fprintf(out, "FNF:%zu\nFNH:%u\n", file.functions.size(), file.covered_functions());
  for (const auto& [line, arcs] : file.branches)
    for (const BranchFigure& b : arcs) {
      if (b.ran)
        std::fprintf(out, "BRDA:%u,%u,%u,%llu\n", line, b.block, b.number, static_cast<unsigned long long>(b.count));
      else
        std::fprintf(out, "BRDA:%u,%u,%u,-\n", line, b.block, b.number);
    }
  if (const uint64_t arcs = file.branch_count())
    std::fprintf(out, "BRF:%llu\nBRH:%llu\n", static_cast<unsigned long long>(arcs),
                 static_cast<unsigned long long>(file.covered_branches()));
  for (const auto& [line, hits] : file.line_hits)
    std::fprintf(out, "DA:%u,%llu\n", line, static_cast<unsigned long long>(hits));
  std::fprintf(out, "LF:%zu\nLH:%u\nend_of_record\n", file.line_hits.size(), file.covered_lines());
}

}  // namespace

bool write_lcov_tracefile(std::FILE* out, std::span<const FileFigures> files,
                          const ExtensionReportInfo& info) {
  for (const FileFigures& file : files) write_record(out, file, info.base_dir);
  return std::ferror(out) == 0;
}

std::string relative_to_base(const std::string& name, const std::string& base_dir) {
  if (base_dir.empty() || name.size() <= base_dir.size() + 1) return name;
  if (name.compare(0, base_dir.size(), base_dir) != 0 || name[base_dir.size()] != '/')
    return name;
  return name.substr(base_dir.size() + 1);
}

std::string absolute_from_base(const std::string& name, const std::string& base_dir) {
  if (name.empty() || name[0] == '/' || base_dir.empty()) return name;
  if (name.size() > 1 && name[1] == ':') return name;  // a drive-letter path
  const char last = base_dir.back();  // the root directory ends with its separator
  return base_dir + (last == '/' || last == '\\' ? "" : "/") + name;
}

}  // namespace vorel
