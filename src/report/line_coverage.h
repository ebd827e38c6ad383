// Line-coverage text: an annotated copy of one source file.
//
// Every source line is written behind a prefix: its execution count grouped
// with commas in 16 columns, "#####" when its code never ran, "-" when it
// holds no code, "?????" when the position table knows nothing of it. The
// source bytes are copied unchanged (a leading UTF-8 byte-order mark is
// skipped). With -blockcounts a line of several blocks is followed by a
// blocks-covered line and, when it ran, one line per block.
#pragma once

namespace vorel {

class CoverageList;
struct ReportOptions;

// Writes CodeCoverage<sep><NAME>.LCOV for the file whose position table is
// current in `files`, the name made from the file's report name by the
// report name rule. Returns false after printing the message when the source
// or the output file cannot be opened.
bool write_line_coverage(const CoverageList& files, bool block_counts, const ReportOptions& options);

}  // namespace vorel
