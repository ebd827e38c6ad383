#include "profile/spi_routine.h"

#include "profile/spi_file.h"
#include "profile/spi_records.h"

namespace vorel {

namespace {

constexpr uint32_t kWordsPerContinuation = 7;

// The description of the routine in kind-1 record `r`.
SpiRoutineInfo routine_info(const SpiFile& f, const SpiRecord& r) {
  SpiRoutineInfo info;
  info.version = f.version;
  if (r.file_rooted) info.file_root = r.file_root;
  info.file_short_name = r.file_short;
  info.file_name = r.file_name;
  if (r.module_rooted) info.module_root = r.module_root;
  info.module_short_name = r.module_short;
  info.module_name = r.module_name;
  info.routine_name = r.routine_name;
  info.start_line = r.w[kW4];
  info.block_count = r.w[kW5];
  info.value_b = r.w[kW6];
  info.linkage = (r.w[kW7] & 1) ? 'S' : 'E';
  info.routine_flag = (r.w[kW7] >> 1) & 1;
  info.position = r.position;
  return info;
}

// Kind of the next record (it stays peeked); 0 also at the end of data, -1
// for a malformed record.
int peek_kind(SpiFile& f, const SpiRecord** r) {
  int status;
  *r = spi_next_record(f, &status);
  if (status <= 0) return status;
  return (*r)->kind;
}

// Fills the entries of a map announced with `count` (> 0) entries: 1 done,
// 0 a continuation record is missing (the map is dropped), -1 malformed.
int read_entries(SpiFile& f, SpiLineMap& map, uint32_t count) {
  const SpiRecord* r;
  int kind = peek_kind(f, &r);
  if (kind < 0) return -1;
  if (count == 1 && kind != 6) {
    map.entries.push_back(map.first_entry);
    return 1;
  }
  for (uint32_t remaining = count; remaining > 0;) {
    if (kind != 6) return 0;
    uint32_t take = remaining < kWordsPerContinuation ? remaining : kWordsPerContinuation;
    for (uint32_t i = 1; i <= take; ++i) map.entries.push_back(r->w[i]);
    remaining -= take;
    spi_consume_record(f);
    if (remaining > 0 && (kind = peek_kind(f, &r)) < 0) return -1;
  }
  return 1;
}

// Line maps: kind-5 records, each followed by its kind-6 continuations,
// while the next record is of kind 5. Entries are appended as they are read,
// so an announced count never sizes anything.
int read_line_maps(SpiFile& f) {
  const SpiRecord* r;
  int kind = peek_kind(f, &r);
  if (kind != 5 || r->routine_id != f.current_routine_id) return kind < 0 ? -1 : 0;
  while (kind == 5) {
    SpiLineMap map;
    map.block_index = r->w[kW4];
    map.entry_count = r->w[kW5];
    map.first_entry = r->w[kW6];
    map.kept_value = r->w[kW7];
    spi_consume_record(f);
    if (map.entry_count > 0) {
      int rc = read_entries(f, map, map.entry_count);
      if (rc <= 0) return rc;  // a dropped map ends line-map reading
    }
    f.routine->line_maps.push_back(std::move(map));
    kind = peek_kind(f, &r);
  }
  return kind < 0 ? -1 : 0;
}

}  // namespace

int spi_read_routine(SpiFile& f) {
  const SpiRecord* r;
  SpiRoutineInfo& info = f.routine->info;
  int kind;
  if (f.version >= 7) {
    if ((kind = peek_kind(f, &r)) < 0) return -1;
    if (kind == 4) {
      info.start_line = r->w[kW4];
      info.start_column = static_cast<uint16_t>(r->w[kW5]);
      info.end_line = r->w[kW6];
      info.end_column = static_cast<uint16_t>(r->w[kW7]);
      spi_consume_record(f);
    }
    if (read_line_maps(f) < 0) return -1;
  }
  while ((kind = peek_kind(f, &r)) == 2 && r->routine_id == f.current_routine_id) {
    f.routine->call_sites.push_back(
        SpiCallSite{r->target_name, r->w[kW5], r->w[kW6], r->w[kW7]});
    spi_consume_record(f);
  }
  if (kind < 0) return -1;
  while ((kind = peek_kind(f, &r)) == 3 && r->routine_id == f.current_routine_id) {
    f.routine->data_refs.push_back(SpiDataRef{r->target_name, r->w[kW5], r->w[kW6]});
    spi_consume_record(f);
  }
  return kind < 0 ? -1 : 0;
}

int spi_next_record_routine(SpiFile& f, SpiRoutineInfo* out) {
  if (!f.started) {
    f.started = true;
    if (!spi_next_module(f)) return 0;
  }
  for (;;) {
    int status;
    const SpiRecord* r = spi_next_record(f, &status);
    if (status <= 0) return status;
    spi_consume_record(f);
    if (r->kind != 1) continue;
    if (r->module_id != f.current_module_id) {
      // A routine of another module: this module's records are over.
      if (!spi_next_module(f)) return 0;
      continue;
    }
    f.current_routine_id = r->routine_id;
    f.routine = std::make_unique<SpiRoutine>();
    f.routine->info = routine_info(f, *r);
    if (spi_read_routine(f) < 0) return -1;
    *out = f.routine->info;
    return 1;
  }
}

}  // namespace vorel
