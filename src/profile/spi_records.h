// The record stream of a static profile file (versions 6 and above): text
// or binary records, decoded into f.record, read module by module in the
// visiting order of f.sorted_modules.
#pragma once

namespace vorel {

struct SpiFile;
struct SpiRecord;

// Decodes one record in its text form into f.record. Returns 1 when decoded,
// 0 for a record of unknown kind (warned about; the caller skips it), -1 for
// a malformed record (wrong field count, kind mismatch, unresolved id,
// extent not matching the record before it).
int spi_decode_record(SpiFile& f, const char* text);

// Makes the next module in visiting order current and seeks to its first
// record; false (and the file is exhausted) when no module is left.
bool spi_next_module(SpiFile& f);

// The peeked record, or the next decoded one, which then stays peeked until
// spi_consume_record. Status: 1 record, 0 end of data, -1 malformed record.
const SpiRecord* spi_next_record(SpiFile& f, int* status);
void spi_consume_record(SpiFile& f);

}  // namespace vorel
