// Walking a dynamic profile file to find its routine records.
#pragma once

#include <vector>

#include "profile/dpi.h"

namespace vorel {

// Segmented layout: walks the segments from the first segment and records,
// per routine, the payload position and length of its segments. Returns
// false after the catalog warning that names the failure (zero-length
// segment, sub-segment before the first routine, unrecognized segment,
// truncated segment, more or fewer routines than announced).
bool dpi_walk_segments(DpiFile& f, std::vector<DpiIndexEntry>& out);

// Older fixed layout: walks the announced number of records by their
// lengths, recording each record's start and length. Returns false after a
// catalog warning when a record runs past the end of the file or is too short
// to move on.
bool dpi_walk_records(DpiFile& f, std::vector<DpiIndexEntry>& out);

}  // namespace vorel
