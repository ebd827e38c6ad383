// A test program on disk: t.spi and t.dpi written from a description whose
// files are stored under "/build/t/", the sources under src/, and a run of
// vorelcov on them with the source root "src".
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "e2e/harness.h"
#include "profile_writer/program.h"

namespace e2e {

inline profile_writer::Module module(const std::string& source,
                                     std::vector<profile_writer::Routine> routines) {
  return profile_writer::module("/build/t/", source, std::move(routines));
}

// A routine with its function number; each block's line map is its own line.
inline profile_writer::Routine numbered_routine(const std::string& name, uint32_t start, uint32_t end,
                                                uint32_t number, std::vector<profile_writer::BlockAt> blocks) {
  for (profile_writer::BlockAt& b : blocks) b.lines = {b.line};
  profile_writer::Routine r = profile_writer::routine(name, start, end, blocks);
  r.function_number = number;
  return r;
}

// Writes the profiles and each (name, text) as src/name.
inline void write_inputs(const TempDir& dir, const profile_writer::Program& p,
                         const std::vector<std::pair<std::string, std::string>>& sources) {
  profile_writer::write_spi(p, dir.file("t.spi"), profile_writer::SpiLayout::kTextV8);
  profile_writer::write_dpi(p, dir.file("t.dpi"), profile_writer::DpiLayout::kSegmentedToc);
  for (const auto& [name, text] : sources) {
    std::filesystem::create_directories(std::filesystem::path(dir.file("src/" + name)).parent_path());
    write_file(dir.file("src/" + name), text);
  }
}

inline RunResult run_inputs(const TempDir& dir, const std::vector<std::string>& extra = {},
                            const EnvChanges& env = {}) {
  std::vector<std::string> args = {"-spi", "t.spi", "-dpi", "t.dpi", "-srcroot", "src", "-nopmeter"};
  args.insert(args.end(), extra.begin(), extra.end());
  return run_vorelcov(args, dir.path(), env);
}

}  // namespace e2e
