// The text and XML output files named on the command line. All of them are
// created at start-up, before any computation, so that a bad output path
// fails at once.
#pragma once

#include <cstdio>

namespace vorel {

struct Settings;

struct OutputFiles {
  std::FILE* xml_function_list = nullptr;
  std::FILE* txt_function_list = nullptr;
  std::FILE* xml_block_list_full = nullptr;
  std::FILE* txt_block_list_full = nullptr;
  std::FILE* xml_block_list = nullptr;
  std::FILE* txt_block_list = nullptr;
  std::FILE* call_graph = nullptr;
};

// Opens every output whose name is set, in the order of the fields above,
// for writing under a temporary name (platform/output_file.h); each XML list receives its head right after
// opening. A failure prints "Couldn't open file %s for output!\n" and ends
// the run with status 1; files opened before stay as they are.
void open_output_files(const Settings& settings, OutputFiles& files);

// Clean-up: XML tails and finishing of the XML lists, then the text lists,
// then the call graph (each waits for the run's commit). A stream whose data could not be written ends the
// run with "ERROR: writing file %s failed.\n" and status 1.
void close_output_files(const Settings& settings, OutputFiles& files);

}  // namespace vorel
