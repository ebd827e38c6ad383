// The on-line help page (__HELP.HTML): what the tool does, the colouring
// scheme with the colours of this run, the dynamic counters and the summaries.
#pragma once

namespace vorel {

struct PageContext;

// Returns false after "Unable to create On-Line Help!\n".
bool write_help_page(const PageContext& ctx);

}  // namespace vorel
