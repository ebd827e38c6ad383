// Stand-ins for the report writers that the run driver calls until the real
// ones land. Each prints "not implemented yet: <what>" on stderr and ends
// the run with status 1. Writers return a success flag; the driver ends the
// run with status 1 on false.
#pragma once

#include <cstdio>
#include <string>

namespace vorel {

struct Settings;
struct spi_file;
struct dpi_file;
class BlockListSink;

namespace pending {

// Function and block lists: kind 1 text functions, 2 text blocks, 3 XML
// functions, 4 XML blocks.
bool write_coverage_list(int kind, std::FILE* out, spi_file* spi, dpi_file* dpi,
                         const Settings& settings);
// The writer of the full block lists (-txtbcvrgfull, -xmlbcvrgfull) that the
// per-file computation fills; either stream may be nullptr.
BlockListSink* full_block_list_sink(std::FILE* txt, std::FILE* xml, const Settings& settings);
// The dynamic call graph.
bool write_call_graph(std::FILE* out, spi_file* spi, dpi_file* dpi, const Settings& settings);

}  // namespace pending
}  // namespace vorel
