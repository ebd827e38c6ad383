// The JSON that `llvm-cov export -format=text` writes
// ("type": "llvm.coverage.json.export", versions 2.0.x): per source file the
// line segments llvm-cov's line view is computed from, per function record
// its counted regions. This reader keeps only those fields and checks
// everything: structure, types, that every number fits, that ranges run
// forwards and that file ids name files of their record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace import_llvm {

// Region kinds of the coverage mapping.
enum class RegionKind : uint8_t { kCode = 0, kExpansion = 1, kSkipped = 2, kGap = 3, kBranch = 4 };

struct LlvmRegion {
  uint32_t line_start = 0, column_start = 0, line_end = 0, column_end = 0;
  uint64_t count = 0;
  uint32_t file_id = 0, expanded_file_id = 0;
  RegionKind kind = RegionKind::kCode;
};

// A branch region: a condition's true and false outcome counts.
struct LlvmBranch {
  uint32_t line_start = 0, column_start = 0, line_end = 0, column_end = 0;
  uint64_t true_count = 0, false_count = 0;
  uint32_t file_id = 0;
};

struct LlvmFunction {
  std::string name;  // as llvm-cov gives it ("file.c:name" for internal linkage)
  uint64_t count = 0;
  std::vector<std::string> filenames;
  std::vector<LlvmRegion> regions;
  std::vector<LlvmBranch> branches = {};  // in the record's order
};

struct LlvmSegment {
  uint32_t line = 0, column = 0;
  uint64_t count = 0;
  bool has_count = false, region_entry = false, gap = false;
};

struct LlvmFile {
  std::string filename;
  std::vector<LlvmSegment> segments;  // ascending (line, column)
  // Written by llvm-cov 18 or later (the file has "mcdc_records"), whose
  // line view also maps a line on which a counted region is entered.
  bool newer_line_view = false;
};

struct LlvmExport {
  std::string version;
  std::vector<LlvmFile> files;
  std::vector<LlvmFunction> functions;
};

// Line and column numbers above this are refused: a segment stands for
// every line up to the next one, so the line number bounds the work.
inline constexpr uint32_t kMaxLine = (1u << 24) - 1;

// Versions 2.0.x (LLVM 14 to 19).
bool known_export_version(std::string_view version);

// Parses `text`; false with `*error` (what is wrong, and at which byte for
// malformed JSON) otherwise. Every "data" entry adds its files and functions.
bool parse_llvm_export(std::string_view text, LlvmExport* out, std::string* error);

}  // namespace import_llvm
