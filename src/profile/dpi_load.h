// Reading one routine of a dynamic profile file by its index entry.
#pragma once

#include "profile/dpi.h"
#include "profile/dpi_record.h"

namespace vorel {

// Reads the routine's main record (segmented or older reader by flags bit 6)
// and its source-root length (segment 0xDA5E); in full mode also the 0xD1F0
// value and the 0xDC6A flow graph. A corrupt record ends the run.
void dpi_read_routine(DpiFile& f, const DpiIndexEntry& entry, DpiReadMode mode, DpiRoutine& r);

}  // namespace vorel
