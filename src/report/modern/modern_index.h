// The modern report's index and directory pages and its two asset files.
// Written on the main thread after the per-file pass, from the per-file
// figures the other extension outputs use.
#pragma once

#include <span>
#include <string>

#include "coverage/file_figures.h"

namespace vorel {

struct ModernOptions;

// What the index needs of a source file.
struct ModernFileTotals {
  std::string name;  // the stored name
  FigureTotals totals;
};

// Writes index.html (run totals and the top-level directories and files),
// one page per directory, the stylesheet and the script. Returns false
// after a message when a file cannot be written.
bool write_modern_index(const ModernOptions& options, std::span<const ModernFileTotals> files);

}  // namespace vorel
