// Routines of the record layouts (versions 6 and above): the routine record
// of the current module and the follow-up records attached to it.
#pragma once

namespace vorel {

struct SpiFile;
struct SpiRoutineInfo;

// Reads the next routine record of the current module (moving through the
// modules in visiting order), makes it f.routine, reads its follow-up
// records and copies its description to `out`. 1 read, 0 no more
// routines, -1 malformed record.
int spi_next_record_routine(SpiFile& f, SpiRoutineInfo* out);

// Reads the current routine's follow-up records: extent (kind 4) and line
// maps (kinds 5 and 6) from version 7, then call sites (kind 2) and data
// references (kind 3). A record that ends a step stays peeked.
// 0 done, -1 malformed record.
int spi_read_routine(SpiFile& f);

}  // namespace vorel
