#include "profile/dpi_index.h"

#include <algorithm>

#include "base/catalog.h"
#include "base/diag.h"
#include "profile/dpi_file_impl.h"
#include "profile/dpi_load.h"
#include "profile/dpi_toc.h"
#include "profile/dpi_walk.h"
#include "profile/file_access.h"
#include "profile/lookup_key.h"

namespace vorel {

namespace {

constexpr size_t kMaxPath = 260;

inline bool equal_null_ptr64(uint64_t p) { return p == 0; }

void register_addresses(DpiFile::Impl& impl, uint32_t file_order, const DpiRoutineAddresses& a) {
  if ((a.attributes & kAttrIndirectlyCalled) && a.address != 0) {
    uint64_t addr = a.address;
    ASSERTX(kReaderPath, !equal_null_ptr64(addr));
    impl.routine_map.add(addr, file_order);
  }
  if (a.vtbl_address != 0) {
    uint64_t vtbl_ptr = a.vtbl_address;
    ASSERTX(kReaderPath, !equal_null_ptr64(vtbl_ptr));
    impl.vtable_map.add(vtbl_ptr, static_cast<uint32_t>(impl.vtable_names.size()));
    impl.vtable_names.push_back(a.vtbl_name);
  }
}

// The record kind must fit the record: 3 or 4 with flags bit 20, else 3 for
// a segmented record and 2 for an older one.
void check_record_kind(const DpiFile& f, uint64_t flags) {
  uint64_t kind = (flags >> 8) & 63;
  bool ok;
  if (flags & kFlagExtended)
    ok = kind == 3 || kind == 4;
  else
    ok = kind == ((flags & kFlagSegmentedRecord) ? 3u : 2u);
  if (!ok) catalog_error(kMsgIncompatibleFormat, f.name.c_str());
}

// Largest entry-block count divided by the runs. Entry blocks outside the
// block array count as 0.
uint64_t entry_exec_count(const DpiFile& f, const DpiRoutine& r) {
  uint64_t best = 0;
  for (const DpiEntryPoint& e : r.entries)
    if (e.block_index < r.blocks.size()) best = std::max(best, r.blocks[e.block_index].count);
  return best / f.runs;
}

// Names the entry: each file name (and its key form) stored once per text.
void finish_entry(DpiFile& f, DpiIndexEntry& e, std::string_view file_name, std::string_view func_name) {
  const HostRules& rules = f.impl->options.host;
  e.file_name = f.names.intern(file_name);
  e.key_file = rules.fold_case ? f.names.intern(normalise_path(rules, file_name)) : e.file_name;
  e.func_name = f.names.add(func_name);
  f.max_entry_exec_count = std::max(f.max_entry_exec_count, e.entry_exec_count);
}

// Index entries from the walk: each record read in summary mode into one
// reused routine.
void index_walked(DpiFile& f) {
  DpiRoutine scratch;
  for (DpiIndexEntry& e : f.index) {
    dpi_read_routine(f, e, DpiReadMode::kSummary, scratch);
    check_record_kind(f, scratch.flags);
    const std::string file_name = scratch.src_root_len != 0
                                      ? dpi_reroot(f, scratch.file_name, scratch.src_root_len)
                                      : scratch.file_name;
    e.func_number = scratch.func_number;
    e.flags = static_cast<uint32_t>(scratch.attributes & 3);
    e.entry_exec_count = entry_exec_count(f, scratch);
    finish_entry(f, e, file_name, scratch.func_name);
    register_addresses(*f.impl, e.file_order,
                       DpiRoutineAddresses{scratch.attributes, scratch.address,
                                           scratch.vtbl_address, scratch.vtbl_name});
  }
}

void index_from_toc(DpiFile& f, DpiToc& toc) {
  std::vector<std::string> names;
  names.reserve(toc.files.size());
  for (const DpiStoredName& s : toc.files)
    names.push_back(s.root_len != 0 ? dpi_reroot(f, s.name, s.root_len) : s.name);
  f.index = std::move(toc.entries);
  for (size_t i = 0; i < f.index.size(); ++i) {
    finish_entry(f, f.index[i], names[toc.file_of[i]], toc.func_names[i]);
    register_addresses(*f.impl, f.index[i].file_order, toc.addresses[i]);
  }
}

}  // namespace

std::string dpi_reroot(const DpiFile& f, const std::string& stored, uint32_t root_len) {
  const std::string& root = f.impl->options.src_root;
  size_t rest = stored.size() - root_len;
  // An imported profile's names are handed out relative: no length limit.
  if (!f.imported && root.size() + 1 + rest > kMaxPath) {
    catalog_warning(kMsgSrcRootTooLong, stored.c_str());
    return stored;
  }
  return root + stored.substr(root_len);
}

bool dpi_build_index(DpiFile& f) {
  DpiFile::Impl& impl = *f.impl;
  if (impl.properties & kPropToc) {
    DpiToc toc;
    if (dpi_read_toc(f, toc)) {
      index_from_toc(f, toc);
      dpi_sort_index(f);
      return true;
    }
  }
  bool walked = ZENTRA_FILE_NODE_is_extensible(&impl) ? dpi_walk_segments(f, f.index)
                                                      : dpi_walk_records(f, f.index);
  if (!walked) return false;
  index_walked(f);
  dpi_sort_index(f);
  return true;
}

std::string dpi_entry_key(const DpiIndexEntry& e) {
  return make_key(e.key_file, e.func_name, kRoutineOrder);
}

int dpi_compare_entries(const DpiIndexEntry& a, const DpiIndexEntry& b) {
  return compare_keys(a.key_file, a.func_name, b.key_file, b.func_name);
}

void dpi_sort_index(DpiFile& f) {
  // Sort positions rather than the large entries, then put each entry in
  // its place by following the permutation's cycles.
  std::vector<uint32_t> order(f.index.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](uint32_t a, uint32_t b) { return dpi_compare_entries(f.index[a], f.index[b]) < 0; });
  for (size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    DpiIndexEntry held = std::move(f.index[start]);
    size_t at = start;
    while (order[at] != start) {
      size_t from = order[at];
      f.index[at] = std::move(f.index[from]);
      order[at] = static_cast<uint32_t>(at);
      at = from;
    }
    f.index[at] = std::move(held);
    order[at] = static_cast<uint32_t>(at);
  }
  if (f.impl) {
    f.impl->sorted_pos.assign(f.index.size(), 0);
    for (size_t i = 0; i < f.index.size(); ++i)
      if (f.index[i].file_order < f.index.size())
        f.impl->sorted_pos[f.index[i].file_order] = static_cast<uint32_t>(i);
  }
  bool check = !f.impl || f.impl->options.check_duplicate_keys;
  if (!check) return;
  for (size_t i = 1; i < f.index.size(); ++i) {
    bool starts_run = dpi_compare_entries(f.index[i], f.index[i - 1]) == 0 &&
                      (i < 2 || dpi_compare_entries(f.index[i - 1], f.index[i - 2]) != 0);
    if (starts_run) catalog_warning(kMsgDuplicateKey, f.name.c_str(), dpi_entry_key(f.index[i]).c_str());
  }
}

}  // namespace vorel
