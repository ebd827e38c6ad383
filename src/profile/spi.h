// The static profile file (*.spi): reader interface.
//
// The compiler writes one static profile file per instrumented build. It
// describes, module by module, every instrumented routine: source file,
// name, extent, linkage, per-block line maps, call sites and data
// references. The reader hands out one routine at a time, in the byte order
// of the modules' short names, with its follow-up records attached.
//
// Layouts (byte-level tables in docs/FORMATS.md): versions 1-4 (old free
// text), 5 (rejected), 6-7 (text records, 32-bit offsets), 8+ (text or
// binary "SPIB" records, 64-bit offsets).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorel {

struct SpiFile;  // opaque handle

struct SpiCallSite {
  std::string callee;     // "(indirect)" for an indirect call
  uint32_t block_index = 0;
  uint32_t line = 0;
  uint32_t flags = 0;     // bit 0: callee has static linkage
};

struct SpiDataRef {
  std::string name;
  uint32_t value1 = 0;
  uint32_t value2 = 0;
};

struct SpiLineMap {
  uint32_t block_index = 0;
  uint32_t first_entry = 0;
  uint32_t kept_value = 0;
  uint32_t entry_count = 0;
  std::vector<uint32_t> entries;   // source lines covered by the block
};

// The description of one routine, copied out of its routine record. All
// strings are owned copies; they never change under the consumer.
struct SpiRoutineInfo {
  int32_t version = 0;
  std::optional<std::string> file_root;     // present when the stored root length is not 0
  std::string file_short_name;
  std::string file_name;                    // composed with the source root
  std::optional<std::string> module_root;
  std::string module_short_name;
  std::string module_name;                  // composed with the source root
  std::string routine_name;
  uint32_t start_line = 0;
  uint16_t start_column = 0;
  uint32_t end_line = 0;
  uint16_t end_column = 0;
  uint32_t block_count = 0;
  uint32_t value_b = 0;                     // second block count (extra blocks)
  char linkage = 'E';                       // 'S' static, 'E' external
  uint32_t routine_flag = 0;                // w7 bit 1, passed on unchanged
  uint64_t position = 0;                    // file position of the routine record
};

// The current routine with its follow-up records, in file order.
struct SpiRoutine {
  SpiRoutineInfo info;
  std::vector<SpiCallSite> call_sites;
  size_t call_cursor = 0;
  std::vector<SpiDataRef> data_refs;
  std::vector<SpiLineMap> line_maps;
};

// Why spi_open returned nullptr.
enum class SpiOpenFailure {
  kMissing,     // the name does not exist
  kUnreadable,  // it cannot be opened, or is not a regular file
  kNotStatic,   // its first byte is not 'V'
};

// Opens the file (mode "rt"; a UTF-8 BOM is skipped) and reads its header and
// mapping section. `src_root` is the normalised source root with its final
// separator, or empty. Returns nullptr (and the reason in `*failure` when
// given) when the file cannot be opened, is not a regular file, or its first
// byte is not 'V'. A version the reader does not know (above 8, or no digit
// after the 'V') and a corrupt mapping section end the run with the catalog
// error "File '%s' is corrupt.". An empty file is version 0.
SpiFile* spi_open(const char* name, const std::string& src_root, SpiOpenFailure* failure = nullptr);

// Prints what a failed spi_open means, on the thread that called it: a
// missing file "Couldn't find the spi file %s!\n"; otherwise an error line
// that says what is wrong with the file.
void print_spi_open_failure(const char* name, SpiOpenFailure failure);

// Format version of an open file (0 for an empty file).
int32_t spi_version(const SpiFile* f);

// Reads the next routine: 1 (read; `out` receives its description and the
// routine becomes current), 0 (no more routines), -1 (malformed record, or
// version 5; spi_line_count then names the line). An unreadable entry of the
// old layout (versions 1-4) ends the run itself with the catalog error
// "Corrupt spi file '%s', header on line %d".
int spi_next_routine(SpiFile* f, SpiRoutineInfo* out);

// The current routine (valid until the next spi_next_routine call).
const SpiRoutine* spi_current_routine(const SpiFile* f);

// 1 and the next call site of the current routine, or 0 when none is left.
int spi_next_call_site(SpiFile* f, SpiCallSite* out);

// The line count used in "Corrupt spi file '%s', header on line %d": the
// header is line 1, each record read adds one, entering a module sets it to
// (position - 13) / 67 + 1. For the old layout: the lines read so far.
int spi_line_count(const SpiFile* f);

// Name of the file as opened.
const std::string& spi_file_name(const SpiFile* f);

// Lookups by id into the mapping section (nullptr when the id is below 1,
// above the highest id stored, or unused). Module and source file names are
// the stored full names.
const std::string* spi_routine_name(const SpiFile* f, uint32_t id);
const std::string* spi_data_name(const SpiFile* f, uint32_t id);
const std::string* spi_module_name(const SpiFile* f, uint32_t id);
const std::string* spi_source_file_name(const SpiFile* f, uint32_t id);

// The stored root that every source-file entry with a root length other than
// 0 shares (for example an imported profile's project root, "/home/me/proj/");
// empty when no entry has one or they differ. Versions 6 and later.
std::string spi_shared_file_root(const SpiFile* f);

// Frees the maps and closes the stream (nullptr is ignored). After a fatal
// stop (FatalExit) thrown by spi_next_routine the handle is still whole and
// must be closed; one thrown by spi_open leaves nothing open.
void spi_close(SpiFile* f);

}  // namespace vorel
