#include "coverage/markers.h"

#include <cctype>

#include "base/diag.h"
#include "platform/file_open.h"
#include "platform/host.h"

namespace vorel {

bool ComponentFilter::of_interest(std::string_view path) const {
  if (entries_.empty()) return true;
  bool included = false;
  for (const std::string& e : entries_) {
    if (!e.empty() && e[0] == '~') {
      if (path.find(std::string_view(e).substr(1)) != std::string_view::npos) return false;
    } else if (path.find(e) != std::string_view::npos) {
      included = true;
    }
  }
  return included;
}

namespace {

// Reads one piece of a line as a text-mode fgets with a 260-byte buffer
// would: at most 259 characters, through the line feed; a carriage return
// before a line feed is dropped. False at end of file.
bool read_piece(std::FILE* in, std::string& piece) {
  piece.clear();
  while (piece.size() < 259) {
    int c = std::getc(in);
    if (c == EOF) break;
    if (c == '\r') {
      int next = std::getc(in);
      if (next == '\n') c = '\n';
      else if (next != EOF) std::ungetc(next, in);
    }
    piece.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !piece.empty();
}

bool is_blank(const std::string& s) {
  for (unsigned char c : s)
    if (!std::isspace(c)) return false;
  return true;
}

struct Keyword {
  const char* text;
  std::vector<std::string> MarkerLists::*list;
};

constexpr Keyword kKeywords[] = {
    {"ONE_LINE_NOTFEASIBLE:", &MarkerLists::one_line},
    {"BEGIN_NOTFEASIBLE:", &MarkerLists::begin},
    {"END_NOTFEASIBLE:", &MarkerLists::end},
};

// The marker between the first pair of double quotes from `from` on.
std::string quoted_marker(const std::string& line, size_t from, const std::string& file,
                          const char* keyword) {
  auto missing_quotes = [&] {
    std::string name(keyword, std::string_view(keyword).size() - 1);  // without ':'
    print_err("ERROR: File %s does not contain quotas for %s\n", file.c_str(), name.c_str());
    fatal_exit(1);
  };
  size_t open = from;
  while (open < line.size() && line[open] != '"' && line[open] != '\n') ++open;
  if (open >= line.size() || line[open] != '"') missing_quotes();
  size_t close = open + 1;
  while (close < line.size() && line[close] != '"' && line[close] != '\n') ++close;
  if (close >= line.size() || line[close] != '"') missing_quotes();
  if (close == open + 1) {
    print_err("ERROR: you specified empty marker for infeasible\n");
    fatal_exit(1);
  }
  return line.substr(open + 1, close - open - 1);
}

void check_contents(const ComponentFile& cf, const std::string& name) {
  const MarkerLists& m = cf.markers;
  if (cf.filter.entries().empty() && m.one_line.empty() && m.begin.empty() && m.end.empty()) {
    print_err("ERROR: File %s does not contain any component information\n", name.c_str());
    fatal_exit(1);
  }
  if (!m.begin.empty() && m.end.empty()) {
    print_err("ERROR: Component file %s specifies start block marker but not does not specify "
              "end block marker\n", name.c_str());
    fatal_exit(1);
  }
  if (!m.end.empty() && m.begin.empty()) {
    print_err("ERROR: Component file %s specifies end block marker but not does not specify "
              "start block marker\n", name.c_str());
    fatal_exit(1);
  }
}

}  // namespace

ComponentFile read_component_stream(std::FILE* in, const std::string& name, MarkerLists markers,
                                    const HostRules& rules) {
  ComponentFile cf;
  cf.markers = std::move(markers);
  std::vector<std::string> entries;
  std::string line;
  while (read_piece(in, line)) {
    const Keyword* keyword = nullptr;
    for (const Keyword& k : kKeywords) {
      if (line.find(k.text) != std::string::npos) {
        keyword = &k;
        break;
      }
    }
    if (keyword) {
      size_t from = std::string_view(keyword->text).size();
      (cf.markers.*(keyword->list)).push_back(quoted_marker(line, from, name, keyword->text));
      cf.markers.in_use = true;
    } else if (!is_blank(line)) {
      if (line.back() == '\n') line.pop_back();
      entries.push_back(normalise_path(rules, line));
    }
  }
  cf.filter = ComponentFilter(std::move(entries));
  return cf;
}

ComponentFile read_component_file(const std::optional<std::string>& file_name, MarkerLists markers,
                                  const HostRules& rules) {
  if (!file_name) return ComponentFile{{}, std::move(markers)};
  const std::string& name = *file_name;
  std::FILE* in = open_file(name, "r");
  if (!in) {
    print_err("ERROR: Couldn't open the component file %s\n", name.c_str());
    if (!last_open_failure().missing)
      print_err("vorelcov: %s: %s\n", name.c_str(), last_open_failure().reason.c_str());
    fatal_exit(1);
  }
  ComponentFile cf = read_component_stream(in, name, std::move(markers), rules);
  if (std::fclose(in) != 0)
    print_err("WARNING: couldn't close the component file %s\n", name.c_str());
  check_contents(cf, name);
  return cf;
}

bool check_markers(const MarkerLists& markers) {
  for (const std::string& one : markers.one_line) {
    for (const std::string& begin : markers.begin) {
      if (one == begin) {
        print_err("ERROR: same comment %s specified for one-line infiseable and start infeasible "
                  "block\n", one.c_str());
        return false;
      }
    }
    for (const std::string& end : markers.end) {
      if (one == end) {
        print_err("ERROR: same comment %s specified for one-line infiseable and end infeasible "
                  "block\n", one.c_str());
        return false;
      }
    }
  }
  for (const std::string& end : markers.end) {
    for (const std::string& begin : markers.begin) {
      if (end == begin) {
        print_err("ERROR: same comment %s specified for end infiseable block and start "
                  "infeasible block\n", end.c_str());
        return false;
      }
    }
  }
  return true;
}

}  // namespace vorel
