// Header of a dynamic profile file (fixed layout 0xDC0B or segmented 0xDC12).
#pragma once

#include "profile/dpi.h"

namespace vorel {

// Reads the header into `f` and its Impl (format kind, first segment,
// properties). A bad or short header ends the run with the catalog error
// "Can't read .dpi file, %s" (after the unrecognized-header warning when the
// magic is wrong).
void dpi_read_header(DpiFile& f);

}  // namespace vorel
