// Helpers for the static profile reader tests: dump what a file reads back
// as text, and build record-layout files by hand (for the malformed cases
// the writer never makes).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "capture.h"
#include "profile/spi.h"

namespace spi_test {

// One line per routine: its description, then its line maps, call sites and
// data references. Positions are left out unless asked for.
inline std::string dump_routine(const vorel::spi_routine& r, bool with_position = false) {
  const vorel::spi_routine_info& i = r.info;
  char buf[256];
  std::snprintf(buf, sizeof buf, " v%d %u:%u-%u:%u blocks=%u b=%u %c flag=%u", i.version, i.start_line,
                i.start_column, i.end_line, i.end_column, i.block_count, i.value_b, i.linkage,
                i.routine_flag);
  std::string out = i.routine_name + " file=" + i.file_name + " [" + i.file_root.value_or("-") + "|" +
                    i.file_short_name + "] module=" + i.module_name + " [" +
                    i.module_root.value_or("-") + "|" + i.module_short_name + "]" + buf;
  // Appends only: "literal" + std::string temporaries trip a false -Wrestrict of g++ 12.
  auto add = [&out](const char* sep, const std::string& text) {
    out += sep;
    out += text;
  };
  auto num = [](uint32_t v) { return std::to_string(v); };
  if (with_position) add(" @", std::to_string(i.position));
  for (const auto& m : r.line_maps) {
    add(" map", num(m.block_index));
    add("(", num(m.entry_count));
    add(",", num(m.kept_value));
    out += "):";
    for (uint32_t e : m.entries) add(" ", num(e));
  }
  for (const auto& c : r.call_sites) {
    add(" call ", c.callee);
    add("/", num(c.block_index));
    add("/", num(c.line));
    add("/", num(c.flags));
  }
  for (const auto& d : r.data_refs) {
    add(" data ", d.name);
    add("/", num(d.value1));
    add("/", num(d.value2));
  }
  return out;
}

struct ReadResult {
  std::vector<std::string> routines;  // dump_routine of each
  int last = 0;                       // the status that ended the loop
  int line = 0;                       // SPI_line_count at the end
  int version = 0;
};

// Opens, reads every routine, closes. The file must open.
inline ReadResult read_all(const std::string& path, const std::string& root = "",
                           bool with_position = false) {
  ReadResult res;
  // Closed also when a fatal stop leaves through here.
  std::unique_ptr<vorel::spi_file, void (*)(vorel::spi_file*)> handle(
      vorel::SPI_open(path.c_str(), root), vorel::SPI_close);
  vorel::spi_file* f = handle.get();
  EXPECT_NE(f, nullptr) << path;
  if (!f) return res;
  res.version = vorel::SPI_version(f);
  vorel::spi_routine_info info;
  while ((res.last = vorel::SPI_next_routine(f, &info)) == 1) {
    const vorel::spi_routine* r = vorel::SPI_current_routine(f);
    EXPECT_EQ(r->info.routine_name, info.routine_name);
    res.routines.push_back(dump_routine(*r, with_position));
  }
  res.line = vorel::SPI_line_count(f);
  return res;
}

// A record-layout file built by hand: modules (id order) with their short
// names and record lines, then a mapping section. Text layout with LF line
// ends; header "V%02d%08x".
struct HandFile {
  int version = 7;
  struct Mod {
    std::string name;
    std::vector<std::string> records;
  };
  std::vector<Mod> modules;
  std::vector<std::string> files = {"a.c"};
  std::vector<std::string> routines = {"f", "g", "h"};
  std::vector<std::string> data = {"d"};

  std::string build() const {
    char head[32];
    std::string body;
    std::vector<size_t> pos;
    const size_t head_len = 12;  // "V07%08x\n"
    for (const Mod& m : modules) {
      pos.push_back(head_len + body.size());
      for (const std::string& r : m.records) body += r + "\n";
    }
    size_t mapping = head_len + body.size();
    std::snprintf(head, sizeof head, "V%02d%08zx\n", version, mapping);
    std::string out = head + body + "<H>\n<M1>" + std::to_string(modules.size()) + "\n";
    for (size_t i = 0; i < modules.size(); ++i)
      out += std::to_string(i + 1) + " " + std::to_string(pos[i]) + " 0 0 " + modules[i].name + "\n";
    out += "</M1>\n" + section("F1", files, true) + section("R1", routines, false) +
           section("D1", data, false) + "</H>\n";
    return out;
  }

 private:
  static std::string section(const char* key, const std::vector<std::string>& names, bool root_len) {
    std::string out = std::string("<") + key + ">" + std::to_string(names.size()) + "\n";
    for (size_t i = 0; i < names.size(); ++i)
      out += std::to_string(i + 1) + (root_len ? " 0 " : " ") + names[i] + "\n";
    return out + "</" + key + ">\n";
  }
};

}  // namespace spi_test
