#include "coverage/report_names.h"

#include <map>
#include <set>

#include "coverage/component.h"
#include "base/diag.h"
#include "platform/host.h"

namespace vorel {

std::string report_stem(std::string_view report_name) {
  std::string out(report_name);
  size_t dot = out.rfind('.');
  if (dot != std::string::npos) out[dot] = '_';
  for (char& c : out) {
    if (c == '/' || c == ':' || c == '\\') c = '_';
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

namespace {

// Report name of each distinct path, in list order.
using NameList = std::vector<std::pair<std::string, std::string>>;

NameList distinct_paths(const std::vector<Component>& entries) {
  NameList names;
  for (const Component& c : entries)
    if (names.empty() || names.back().first != c.file_name) names.emplace_back(c.file_name, "");
  return names;
}

// Paths too long for the working directory get their base name, numbered
// when an earlier path had the same base name.
bool abbreviate(NameList& names, std::string_view cwd, char separator) {
  std::map<std::string, std::string> seen;     // path -> abbreviation
  std::map<std::string, unsigned> base_uses;   // base name -> paths using it
  bool abbreviated = false;
  for (auto& [path, report] : names) {
    if (path.size() + 1 + cwd.size() + 42 < 260) {
      report = path;
      continue;
    }
    abbreviated = true;
    auto known = seen.find(path);
    if (known != seen.end()) {
      report = known->second;
      continue;
    }
    size_t cut = path.rfind(separator);
    std::string base = cut == std::string::npos ? path : path.substr(cut + 1);
    unsigned uses = base_uses[base]++;
    report = uses == 0 ? base : base + std::to_string(uses);
    seen.emplace(path, report);
  }
  return abbreviated;
}

// Distinct paths whose report names give the same page names: the first
// keeps its name, each later one gets the smallest numeric suffix that
// gives a page name no other path uses.
void separate_clashes(NameList& names) {
  std::vector<std::string> stems;
  std::map<std::string, unsigned> owners;  // stem -> paths using it
  std::set<std::string> used;
  for (const auto& entry : names) {
    stems.push_back(report_stem(entry.second));
    ++owners[stems.back()];
    used.insert(stems.back());
  }
  std::set<std::string> kept;  // stems whose first path keeps its name
  for (size_t i = 0; i < names.size(); ++i) {
    if (owners[stems[i]] < 2 || kept.insert(stems[i]).second) continue;
    std::string& report = names[i].second;
    std::string candidate;
    for (unsigned k = 1;; ++k) {
      candidate = report + std::to_string(k);
      if (used.insert(report_stem(candidate)).second) break;
    }
    report = candidate;
  }
}

}  // namespace

void compute_report_names(std::vector<Component>& entries, std::string_view cwd,
                          const HostRules& rules) {
  NameList names = distinct_paths(entries);
  if (abbreviate(names, cwd, rules.separator))
    print_err("Warning: Some file or directory names are too long for default result file "
              "naming. Some result files will use abbreviated names\n");
  separate_clashes(names);
  size_t next = 0;
  for (Component& c : entries) {
    while (names[next].first != c.file_name) ++next;
    c.report_name = names[next].second;
  }
}

}  // namespace vorel
