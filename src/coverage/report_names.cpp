#include "coverage/report_names.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <deque>
#include <set>
#include <unordered_set>

#include "coverage/component.h"
#include "profile/name_arena.h"
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

// Room left for a clash suffix after a shortened name.
constexpr size_t kSuffixRoom = 4;

// A name whose longest page stem would not fit keeps a prefix (whole UTF-8
// characters) and gets "_" and the FNV-1a hash of the whole name.
bool shorten(NameList& names, const PageNameRule& rule) {
  if (rule.stem_limit == 0) return false;
  size_t longest = 0;
  for (const std::string& suffix : rule.source_suffixes) longest = std::max(longest, suffix.size());
  const size_t fits = rule.stem_limit - std::min(rule.stem_limit, longest + kSuffixRoom);
  bool shortened = false;
  for (auto& entry : names) {
    std::string& report = entry.second;
    if (report.size() <= fits || fits < 9) continue;
    uint32_t hash = 2166136261u;
    for (unsigned char c : report) hash = (hash ^ c) * 16777619u;
    size_t cut = fits - 9;
    while (cut > 0 && (static_cast<unsigned char>(report[cut]) & 0xC0) == 0x80) --cut;
    char hex[10];
    std::snprintf(hex, sizeof hex, "_%08X", hash);
    report = report.substr(0, cut) + hex;
    shortened = true;
  }
  return shortened;
}

// A set of stems that answers for the pages they give: a page is in it when
// it is some member's stem followed by one of the rule's suffixes. Holding
// the stems rather than every page keeps a program of many files small.
class StemSet {
 public:
  explicit StemSet(const PageNameRule& rule) : rule_(rule) {}
  void add(std::string_view stem) { stems_.insert(stem); }
  bool gives(std::string_view page) const {
    for (const std::string& suffix : rule_.source_suffixes)
      if (page.ends_with(suffix) && stems_.count(page.substr(0, page.size() - suffix.size())))
        return true;
    return false;
  }

 private:
  const PageNameRule& rule_;
  std::unordered_set<std::string_view> stems_;
};

// Distinct paths whose report names give a page name already given (or one
// of the tool's own): the first keeps its name, each later one gets the
// smallest numeric suffix whose pages no other path uses or would use.
void separate_clashes(NameList& names, const PageNameRule& rule) {
  std::vector<std::string> stems;
  stems.reserve(names.size());
  for (const auto& entry : names) stems.push_back(report_stem(entry.second));
  StemSet natural(rule);  // the stems every path would get
  for (const std::string& stem : stems) natural.add(stem);
  const std::set<std::string, std::less<>> reserved(rule.reserved.begin(), rule.reserved.end());
  StemSet taken(rule);
  std::deque<std::string> numbered;  // stems of numbered names (stable storage)
  auto claim = [&](std::string_view stem, bool avoid_natural) {
    for (const std::string& suffix : rule.source_suffixes) {
      const std::string page = std::string(stem) + suffix;
      if (reserved.count(page) || taken.gives(page) || (avoid_natural && natural.gives(page)))
        return false;
    }
    taken.add(stem);
    return true;
  };
  for (size_t i = 0; i < names.size(); ++i) {
    if (claim(stems[i], false)) continue;
    std::string& report = names[i].second;
    for (unsigned k = 1;; ++k) {
      std::string candidate = report + std::to_string(k);
      numbered.push_back(report_stem(candidate));
      if (!claim(numbered.back(), true)) {
        numbered.pop_back();
        continue;
      }
      report = candidate;
      break;
    }
  }
}

}  // namespace

void compute_report_names(std::vector<Component>& entries, NameArena& arena, std::string_view cwd,
                          const HostRules& rules, const PageNameRule& pages) {
  NameList names = distinct_paths(entries);
  const bool abbreviated = abbreviate(names, cwd, rules.separator);
  if (shorten(names, pages) || abbreviated)
    print_err("Warning: Some file or directory names are too long for default result file "
              "naming. Some result files will use abbreviated names\n");
  separate_clashes(names, pages);
  size_t next = 0;
  std::string_view stored;
  for (Component& c : entries) {
    if (names[next].first != c.file_name) {
      while (names[next].first != c.file_name) ++next;
      stored = {};
    }
    if (stored.data() == nullptr) stored = arena.intern(names[next].second);
    c.report_name = stored;
  }
}

}  // namespace vorel
