// The modern report's page of one source file: its totals, its functions
// (never-called first) and its source with a count and a mark per line.
// Written from the file's own state on the worker of the per-file pass.
#pragma once

namespace vorel {

struct CoverageModel;
struct FileFigures;
struct ModernOptions;

// Writes the page of the file `figures` describes; `model` holds the file's
// position table, infeasible lines and function tables. Returns false after
// a message when the source cannot be read or the page cannot be written.
bool write_modern_file_page(const ModernOptions& options, const FileFigures& figures,
                            const CoverageModel& model);

}  // namespace vorel
