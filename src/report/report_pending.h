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

// XML head (with the project name) and tail of an XML list.
bool write_xml_head(std::FILE* out, const Settings& settings);
bool write_xml_tail(std::FILE* out);

// The report directory's toolbar page, images and help page.
bool write_report_frame(const Settings& settings);
// The source view and frame set of the file just computed.
bool write_source_view(const std::string& file_name, const Settings& settings);

// Covered (mask 4) or uncovered (mask 2) file lists under `base_name`.
bool write_file_lists(const char* base_name, int mask, const Settings& settings);
// Totals summary and root frame set; a base name is nullptr when its list
// is empty.
bool write_summary_and_root(const char* summary_base, const char* frame_base,
                            const char* covered_base, const char* uncovered_base,
                            const Settings& settings);

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
