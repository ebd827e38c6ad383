// The old free-text layout of the static profile file (versions 1 to 4).
#pragma once

namespace vorel {

struct SpiFile;
struct SpiRoutineInfo;

// Reads the next routine entry at the stream's position, makes it
// f.routine and copies its description to `out`. 1 read, 0 end of file.
// A field that cannot be read ends the run with the catalog error
// "Corrupt spi file '%s', header on line %d" (the entry's first line).
int spi_old_next_routine(SpiFile& f, SpiRoutineInfo* out);

}  // namespace vorel
