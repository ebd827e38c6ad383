#include "import_gcov/outputs.h"

#include <cstdio>

#include "platform/output_file.h"

namespace import_gcov {

namespace {

std::string directory_of(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

const char* waiting_program = "vorelcov-import-gcov";

void say_waiting(const std::string& dir) {
  std::fprintf(stderr, "%s: waiting for another run writing in %s\n", waiting_program, dir.c_str());
}

}  // namespace

bool begin_outputs(const std::string& spi, const std::string& dpi, const std::vector<std::string>& inputs,
                   std::string* error, const char* program) {
  waiting_program = program;
  if (vorel::same_file(spi, true, dpi, true)) {
    *error = "--spi " + spi + " and --dpi " + dpi + " are one file";
    return false;
  }
  for (const std::string& input : inputs)
    for (const auto& [option, output] : {std::pair{"--spi ", &spi}, std::pair{"--dpi ", &dpi}})
      if (vorel::same_file(*output, true, input, true)) {
        *error = option + *output + " and the input " + input + " are one file";
        return false;
      }
  std::vector<std::string> directories;  // the first holds the transaction's record
  for (const std::string* output : {&spi, &dpi})
    if (!vorel::written_directly(*output)) directories.push_back(directory_of(*output));
  vorel::output_begin(directories, say_waiting);
  return true;
}

bool finish_outputs(bool written, std::string* error) {
  if (!written) {
    vorel::output_abandon();
    return false;
  }
  std::string failed;
  if (vorel::output_commit(&failed)) return true;
  *error = "cannot write " + failed;
  return false;
}

bool write_profiles(const profile_writer::Program& program, const std::string& spi, const std::string& dpi,
                    std::string* error) {
  const bool written = profile_writer::write_spi(program, spi, profile_writer::SpiLayout::kBinaryV8, error) &&
                       profile_writer::write_dpi(program, dpi, profile_writer::DpiLayout::kSegmentedToc, error);
  return finish_outputs(written, error);
}

}  // namespace import_gcov
