// The frame set of one source file: the toolbar and the function lists on
// the left, the source view on the right.
#pragma once

#include <string>

namespace vorel {

class FunctionTables;
struct PageContext;

// Writes the file's function list pages (covered and uncovered, each in its
// orders, each list only when it has an entry) and then the frame page
// (directory name of `report_name`). Returns false when a list page fails
// (the frame page is then not written) or after "Unable to create root html
// file %s!\n" with the file title.
bool write_source_frame_set(const PageContext& ctx, const std::string& file_title,
                            const std::string& report_name, const FunctionTables& functions);

}  // namespace vorel
