// Cobertura XML writer. Line-rate values are covered / valid with four
// decimals (1.0000 for a class without executable lines). Branch rates are
// formed the same way when the run has branch arcs; without any (a profile
// without branch information) they stay 0.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "coverage/file_figures.h"
#include "report/ext_text.h"
#include "report/extension_outputs.h"

namespace vorel {

namespace {

std::string rate(uint64_t covered, uint64_t valid) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f",
                valid == 0 ? 1.0 : static_cast<double>(covered) / static_cast<double>(valid));
  return buf;
}

std::string directory_of(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? std::string(".") : name.substr(0, slash);
}

void write_line(std::FILE* out, const char* indent, const FileFigures& file, uint32_t line) {
  const unsigned long long hits = file.line_hits.at(line);
  auto arcs = file.branches.find(line);
  if (arcs == file.branches.end() || arcs->second.empty()) {
    std::fprintf(out, "%s<line number=\"%u\" hits=\"%llu\" branch=\"false\"/>\n", indent, line, hits);
    return;
  }
  uint64_t covered = 0;
  for (const BranchFigure& b : arcs->second)
    if (b.ran && b.count > 0) ++covered;
  const uint64_t total = arcs->second.size();
  std::fprintf(out,
               "%s<line number=\"%u\" hits=\"%llu\" branch=\"true\" "
               "condition-coverage=\"%llu%% (%llu/%llu)\"/>\n",
               indent, line, hits, static_cast<unsigned long long>(covered * 100 / total),
               static_cast<unsigned long long>(covered), static_cast<unsigned long long>(total));
}

// The branch rate, or "0" when the run has no branch arcs at all.
std::string branch_rate(bool with_branches, uint64_t covered, uint64_t valid) {
  return with_branches ? rate(covered, valid) : "0";
}

void write_method(std::FILE* out, const FileFigures& file, const FunctionFigures& f, bool with_branches) {
  uint64_t covered = 0, arcs = 0, taken = 0;
  for (uint32_t line : f.lines) {
    if (file.line_hits.at(line) > 0) ++covered;
    if (auto it = file.branches.find(line); it != file.branches.end())
      for (const BranchFigure& b : it->second) {
        ++arcs;
        if (b.ran && b.count > 0) ++taken;
      }
  }
  std::fprintf(out,
               "            <method name=\"%s\" signature=\"\" line-rate=\"%s\" branch-rate=\"%s\" "
               "complexity=\"0\">\n              <lines>\n",
               xml_text(f.readable_name).c_str(), rate(covered, f.lines.size()).c_str(),
               branch_rate(with_branches, taken, arcs).c_str());
  for (uint32_t line : f.lines) write_line(out, "                ", file, line);
  std::fputs("              </lines>\n            </method>\n", out);
}

void write_class(std::FILE* out, const FileFigures& file, const std::string& name, bool with_branches) {
  const std::string text = xml_text(name);
  std::fprintf(out,
               "        <class name=\"%s\" filename=\"%s\" line-rate=\"%s\" branch-rate=\"%s\" "
               "complexity=\"0\">\n          <methods>\n",
               text.c_str(), text.c_str(),
               rate(file.covered_lines(), file.line_hits.size()).c_str(),
               branch_rate(with_branches, file.covered_branches(), file.branch_count()).c_str());
  for (const FunctionFigures& f : file.functions) write_method(out, file, f, with_branches);
  std::fputs("          </methods>\n          <lines>\n", out);
  for (const auto& [line, hits] : file.line_hits) write_line(out, "            ", file, line);
  std::fputs("          </lines>\n        </class>\n", out);
}

}  // namespace

bool write_cobertura(std::FILE* out, std::span<const FileFigures> files,
                     const ExtensionReportInfo& info) {
  // Packages by directory, in name order; classes in processing order.
  std::map<std::string, std::vector<size_t>> packages;
  std::vector<std::string> names;
  FigureTotals total;
  for (size_t i = 0; i < files.size(); ++i) {
    names.push_back(relative_to_base(files[i].name, info.base_dir));
    packages[directory_of(names.back())].push_back(i);
    total.add(files[i]);
  }
  const bool with_branches = total.branches > 0;
  std::fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", out);
  std::fprintf(out,
               "<coverage line-rate=\"%s\" branch-rate=\"%s\" lines-covered=\"%llu\" "
               "lines-valid=\"%llu\" branches-covered=\"%llu\" branches-valid=\"%llu\" complexity=\"0\" "
               "version=\"%s\" timestamp=\"%lld\">\n",
               rate(total.covered_lines, total.lines).c_str(),
               branch_rate(with_branches, total.covered_branches, total.branches).c_str(),
               static_cast<unsigned long long>(total.covered_lines),
               static_cast<unsigned long long>(total.lines),
               static_cast<unsigned long long>(total.covered_branches),
               static_cast<unsigned long long>(total.branches), xml_text(info.version).c_str(),
               static_cast<long long>(info.timestamp));
  std::fprintf(out, "  <sources>\n    <source>%s</source>\n  </sources>\n  <packages>\n",
               xml_text(info.base_dir).c_str());
  for (const auto& [package, members] : packages) {
    FigureTotals sum;
    for (size_t i : members) sum.add(files[i]);
    std::fprintf(out,
                 "    <package name=\"%s\" line-rate=\"%s\" branch-rate=\"%s\" complexity=\"0\">\n"
                 "      <classes>\n",
                 xml_text(package).c_str(), rate(sum.covered_lines, sum.lines).c_str(),
                 branch_rate(with_branches, sum.covered_branches, sum.branches).c_str());
    for (size_t i : members) write_class(out, files[i], names[i], with_branches);
    std::fputs("      </classes>\n    </package>\n", out);
  }
  std::fputs("  </packages>\n</coverage>\n", out);
  return std::ferror(out) == 0;
}

}  // namespace vorel
