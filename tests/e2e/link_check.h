// Link integrity of a generated report set: every href and src of every page
// names a file that exists, and every "#x" anchor a name="x" or id="x" in its
// target (the page itself when the link is only "#x").
#pragma once

#include <cstring>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace link_check {

inline std::string slurp(const std::filesystem::path& p) { return e2e::read_file(p.string()).value_or(""); }

inline std::string percent_decode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      out.push_back(static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16)));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

inline std::string entity_decode(std::string s) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities)
    for (size_t at; (at = s.find(from)) != std::string::npos;) s.replace(at, std::strlen(from), to);
  return s;
}

// The broken links of the pages under `root` (the root page's directory),
// each as "page: target"; `checked` counts the links looked at.
inline std::vector<std::string> broken_links(const std::filesystem::path& root, int& checked) {
  namespace fs = std::filesystem;
  std::vector<std::string> broken;
  std::vector<fs::path> pages;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    std::string ext = e.path().extension().string();
    if (ext == ".HTML" || ext == ".html") pages.push_back(e.path());
  }
  const std::regex link(R"re((?:href|src|HREF|SRC)="([^"]*)")re");
  for (const fs::path& page : pages) {
    const std::string text = slurp(page);
    for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
      std::string target = entity_decode((*it)[1].str());
      if (target.rfind("http://", 0) == 0 || target.rfind("https://", 0) == 0 ||
          target.rfind("mailto:", 0) == 0)
        continue;
      ++checked;
      std::string anchor;
      if (size_t hash = target.find('#'); hash != std::string::npos) {
        anchor = target.substr(hash + 1);
        target.erase(hash);
      }
      const fs::path file = target.empty() ? page : page.parent_path() / percent_decode(target);
      if (!fs::is_regular_file(file)) {
        broken.push_back(page.filename().string() + ": " + target);
        continue;
      }
      const std::string body = anchor.empty() ? "" : slurp(file);
      if (!anchor.empty() && body.find("name=\"" + anchor + "\"") == std::string::npos &&
          body.find("id=\"" + anchor + "\"") == std::string::npos)
        broken.push_back(page.filename().string() + ": " + target + "#" + anchor);
    }
  }
  return broken;
}

}  // namespace link_check
