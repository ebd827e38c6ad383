// The toolbar page of the report directory, with the four images and the
// help page written alongside.
#pragma once

namespace vorel {

struct PageContext;

// Writes __TOOLBAR.HTML, the four images and __HELP.HTML into the report
// directory, stopping at the first failure with its message. Returns success.
bool write_toolbar_and_help(const PageContext& ctx);

}  // namespace vorel
