// The machine-readable extension outputs: a Cobertura XML file, an lcov
// tracefile and a JSON summary, each formatted from the per-file figures of
// the run (coverage/file_figures.h). Each writer writes a whole file to an
// open stream and returns false when the stream reports a write error.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace vorel {

struct FileFigures;

struct ExtensionReportInfo {
  std::string version;       // the tool's version
  std::string base_dir;      // absolute directory that relative file names start from
  int64_t timestamp = 0;     // seconds since the epoch
};

// Cobertura XML (coverage-04 structure): one package per directory, one class
// per source file, its functions as methods with their own lines.
bool write_cobertura(std::FILE* out, std::span<const FileFigures> files,
                     const ExtensionReportInfo& info);

// lcov tracefile: one record per source file, named by its absolute path.
bool write_lcov_tracefile(std::FILE* out, std::span<const FileFigures> files,
                          const ExtensionReportInfo& info);

// JSON summary: per file and in total, lines, functions and blocks with
// their covered counts and percentages (layout in the README).
bool write_json_summary(std::FILE* out, std::span<const FileFigures> files,
                        const ExtensionReportInfo& info);

// The name relative to `base_dir` when it lies beneath it, else as it stands;
// and the absolute form (`base_dir` + "/" + name for a relative name).
std::string relative_to_base(const std::string& name, const std::string& base_dir);
std::string absolute_from_base(const std::string& name, const std::string& base_dir);

}  // namespace vorel
