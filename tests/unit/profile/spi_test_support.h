// Helpers for the static profile reader tests: dump what a file reads back
// as text, and build record-layout files by hand (for the malformed cases
// the writer never makes).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "capture.h"
#include "profile/spi.h"

namespace spi_test {

// One line per routine: its description, then its line maps, call sites and
// data references.
inline std::string dump_routine(const vorel::SpiRoutine& r) {
  const vorel::SpiRoutineInfo& i = r.info;
  std::ostringstream out;
  out << i.routine_name << " file=" << i.file_name << " [" << i.file_root.value_or("-") << "|"
      << i.file_short_name << "] module=" << i.module_name << " [" << i.module_root.value_or("-") << "|"
      << i.module_short_name << "] v" << i.version << " " << i.start_line << ":" << i.start_column << "-"
      << i.end_line << ":" << i.end_column << " blocks=" << i.block_count << " b=" << i.value_b << " "
      << i.linkage << " flag=" << i.routine_flag;
  for (const auto& m : r.line_maps) {
    out << " map" << m.block_index << "(" << m.entry_count << "," << m.kept_value << "):";
    for (uint32_t e : m.entries) out << " " << e;
  }
  for (const auto& c : r.call_sites) out << " call " << c.callee << "/" << c.block_index << "/" << c.line << "/" << c.flags;
  for (const auto& d : r.data_refs) out << " data " << d.name << "/" << d.value1 << "/" << d.value2;
  return out.str();
}

struct ReadResult {
  std::vector<std::string> routines;  // dump_routine of each
  int last = 0;                       // the status that ended the loop
  int line = 0;                       // spi_line_count at the end
  int version = 0;
};

// Opens, reads every routine, closes. The file must open.
inline ReadResult read_all(const std::string& path, const std::string& root = "") {
  ReadResult res;
  // Closed also when a fatal stop leaves through here.
  std::unique_ptr<vorel::SpiFile, void (*)(vorel::SpiFile*)> handle(
      vorel::spi_open(path.c_str(), root), vorel::spi_close);
  vorel::SpiFile* f = handle.get();
  EXPECT_NE(f, nullptr) << path;
  if (!f) return res;
  res.version = vorel::spi_version(f);
  vorel::SpiRoutineInfo info;
  while ((res.last = vorel::spi_next_routine(f, &info)) == 1) {
    const vorel::SpiRoutine* r = vorel::spi_current_routine(f);
    EXPECT_EQ(r->info.routine_name, info.routine_name);
    res.routines.push_back(dump_routine(*r));
  }
  res.line = vorel::spi_line_count(f);
  return res;
}

// A version-7 record-layout file built by hand: modules (id order) with
// their short names and record lines, then a mapping section with files
// "a.c", routines f g h and data d. Text layout with LF line ends.
using HandModule = std::pair<std::string, std::vector<std::string>>;
inline std::string hand_file(const std::vector<HandModule>& modules) {
  std::string body, map;
  for (size_t i = 0; i < modules.size(); ++i) {
    map += std::to_string(i + 1) + " " + std::to_string(12 + body.size()) + " 0 0 " + modules[i].first + "\n";
    for (const std::string& r : modules[i].second) body += r + "\n";
  }
  char head[16];
  std::snprintf(head, sizeof head, "V07%08zx\n", 12 + body.size());
  return head + body + "<H>\n<M1>" + std::to_string(modules.size()) + "\n" + map +
         "</M1>\n<F1>1\n1 0 a.c\n</F1>\n<R1>3\n1 f\n2 g\n3 h\n</R1>\n<D1>1\n1 d\n</D1>\n</H>\n";
}

}  // namespace spi_test
