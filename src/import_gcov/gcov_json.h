// The JSON intermediate format that `gcov --json-format` writes: one file per
// compilation unit, with per source file its functions and per line its
// execution count. This reader keeps only the fields the importer uses and
// checks everything: structure, types, and that every number fits.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace import_gcov {

struct GcovFunction {
  std::string name;            // as compiled (mangled for C++)
  std::string demangled_name;  // empty when absent
  uint32_t start_line = 0, start_column = 0, end_line = 0, end_column = 0;
  uint64_t execution_count = 0;
};

inline constexpr uint32_t kNoFunction = UINT32_MAX;

// One arc of a line's branches, in gcov's order.
struct GcovBranch {
  uint64_t count = 0;
};

struct GcovLine {
  uint32_t line_number = 0;
  uint64_t count = 0;
  uint32_t function = kNoFunction;  // index into GcovFile::line_functions
  bool unexecuted_block = false;    // some block of the line never ran
  std::vector<GcovBranch> branches = {};
};

struct GcovFile {
  std::string name;                         // as gcov gives it
  std::vector<GcovFunction> functions;
  std::vector<GcovLine> lines;
  std::vector<std::string> line_functions;  // distinct function names of `lines`
};

struct GcovUnit {
  std::string format_version;
  std::string gcc_version;
  std::string current_working_directory;
  std::string data_file;
  std::vector<GcovFile> files;
};

// The format versions this reader knows: "1" (GCC 12 and 13) and "2"
// (GCC 14 and later, which add per-line fields the importer does not read).
bool known_format_version(std::string_view version);

// Parses `text`; on failure returns false with `*error` saying what is wrong
// and at which byte. A document that is JSON but not gcov's (a missing
// "files" or "format_version", a field of the wrong type) is a failure too,
// as is a format version the reader does not know.
bool parse_gcov_json(std::string_view text, GcovUnit* out, std::string* error);

// Parses the documents that follow each other in `text` (what
// `gcov --json-format --stdout` prints: one per unit, a line each), adding
// one unit per document to `*out`. No text at all is no document.
bool parse_gcov_documents(std::string_view text, std::vector<GcovUnit>* out, std::string* error);

}  // namespace import_gcov
