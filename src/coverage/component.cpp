#include "coverage/component.h"

#include <algorithm>
#include <cstdint>

#include "coverage/markers.h"
#include "coverage/report_names.h"
#include "base/diag.h"
#include "coverage/coverage_options.h"
#include "platform/host.h"
#include "platform/undecorate.h"

namespace vorel {

std::optional<std::string> readable_name(std::string_view proc_name, bool full_signature) {
  static constexpr std::string_view kStartup = "__sti__";
  if (proc_name.starts_with(kStartup)) {
    // Compiler-generated routines that run static initialisers at start-up.
    std::string rest(proc_name.substr(kStartup.size()));
    std::optional<std::string> undecorated = undecorate(rest, full_signature);
    return "class ExecuteOnStartup " + (undecorated ? *undecorated : rest);
  }
  std::optional<std::string> undecorated = undecorate(proc_name, full_signature);
  if (!undecorated) return std::string(proc_name);
  return *undecorated;
}

bool is_left_out(const Component& c) {
  if (!c.readable_name || c.start_line == 0) return true;
  return c.readable_name->starts_with("___sti__") || c.readable_name->starts_with("__$U");
}

namespace {

bool component_less(const Component& a, const Component& b) {
  if (int f = a.file_name.compare(b.file_name); f != 0) return f < 0;
  if (a.readable_name && b.readable_name) {
    if (int r = a.readable_name->compare(*b.readable_name); r != 0) return r < 0;
  }
  return a.proc_name < b.proc_name;
}

bool has_non_printable(std::string_view s) {
  for (unsigned char c : s)
    if (c < 0x20 || c >= 0x7f) return true;
  return false;
}

// A copy of the routine's line maps in the list's arenas.
std::span<const BlockLineMap> copy_line_maps(ComponentList& list, const std::vector<SpiLineMap>& maps) {
  std::span<BlockLineMap> out = list.line_maps.allocate(maps.size());
  for (size_t i = 0; i < maps.size(); ++i)
    out[i] = BlockLineMap{maps[i].block_index, list.lines.add(maps[i].entries), maps[i].first_entry,
                          maps[i].kept_value};
  return out;
}

Component make_component(ComponentList& list, const SpiRoutineInfo& info, const SpiRoutine* current,
                         bool has_line_maps, std::string_view file_name,
                         std::optional<std::string_view> readable) {
  Component c;
  c.start_line = info.start_line;
  c.start_column = info.start_column;
  c.end_line = info.end_line;
  c.end_column = info.end_column;
  c.has_line_map_handle = has_line_maps;
  if (current) c.line_maps = copy_line_maps(list, current->line_maps);
  // A second block count above the block count is corrupt; keep the sum.
  c.extra_blocks = std::min(info.value_b, info.block_count);
  c.counted_blocks = info.block_count - c.extra_blocks;
  c.readable_name = readable;
  c.file_name = file_name;
  return c;
}

}  // namespace

// Sorts positions, then moves the entries along the permutation's cycles:
// the only extra memory is one position per entry (a stable sort of the
// entries themselves would take a second list of entries).
void sort_components(std::vector<Component>& entries) {
  std::vector<uint32_t> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
  std::stable_sort(order.begin(), order.end(), [&entries](uint32_t a, uint32_t b) {
    return component_less(entries[a], entries[b]);
  });
  // entries[i] takes the entry now at order[i]; a placed position is marked
  // by order[i] == i.
  for (size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start) continue;
    Component held = std::move(entries[start]);
    size_t at = start;
    while (order[at] != start) {
      const size_t from = order[at];
      entries[at] = std::move(entries[from]);
      order[at] = static_cast<uint32_t>(at);
      at = from;
    }
    entries[at] = std::move(held);
    order[at] = static_cast<uint32_t>(at);
  }
}

// In place: entries[0, kept) are the ones kept so far (no second list, so
// the peak memory of a large program holds the list once).
void dedupe_components(std::vector<Component>& entries, bool multiple_definitions) {
  size_t kept = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    Component& c = entries[i];
    c.first_in_file = true;
    if (kept > 0 && entries[kept - 1].file_name == c.file_name) {
      Component& last = entries[kept - 1];
      c.first_in_file = false;
      if (last.start_line == c.start_line && last.readable_name && c.readable_name &&
          *last.readable_name == *c.readable_name) {
        if (last.proc_name != c.proc_name) {
          last.ambiguous = true;
          c.ambiguous = true;
        } else if (!multiple_definitions || last.counted_blocks == c.counted_blocks) {
          continue;  // the later duplicate is dropped
        }
      }
    }
    if (kept != i) entries[kept] = std::move(c);
    ++kept;
  }
  entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(kept), entries.end());
}

ComponentList build_component_list(SpiFile* spi, const CoverageOptions& options,
                                   const ComponentFilter& filter, std::string_view cwd) {
  ComponentList list;
  const bool has_line_maps = spi_version(spi) >= 7;
  SpiRoutineInfo info;
  for (;;) {
    int got = spi_next_routine(spi, &info);
    if (got == 0) break;
    if (got < 0) {
      print_err("ERROR: corrupt SPI file %s\n", options.spi_file_name.c_str());
      fatal_exit(1);
    }
    std::string path = normalise_path(options.host, info.file_name);
    if (!filter.of_interest(path)) continue;
    // The readable name shares the stored routine name when they are equal.
    std::optional<std::string> readable = readable_name(info.routine_name, options.demangle);
    const std::string_view proc = list.names.add(info.routine_name);
    std::optional<std::string_view> shown;
    if (readable) shown = *readable == proc ? proc : list.names.add(*readable);
    list.entries.push_back(make_component(list, info, spi_current_routine(spi), has_line_maps,
                                          list.names.intern(path), shown));
    list.entries.back().proc_name = proc;
  }
  sort_components(list.entries);
  dedupe_components(list.entries, options.multiple_definitions);
  for (const Component& c : list.entries)
    if (has_non_printable(c.file_name)) list.non_printable_name = true;
  compute_report_names(list.entries, list.names, cwd, options.host, options.page_names);
  return list;
}

size_t group_end(const std::vector<Component>& entries, size_t first) {
  size_t end = first + 1;
  while (end < entries.size() && entries[end].file_name == entries[first].file_name) ++end;
  return std::min(end, entries.size());
}

std::span<Component> group_of(std::vector<Component>& entries, size_t first) {
  return std::span<Component>(entries).subspan(first, group_end(entries, first) - first);
}

std::span<const Component> group_of(const std::vector<Component>& entries, size_t first) {
  return std::span<const Component>(entries).subspan(first, group_end(entries, first) - first);
}

// The chain rule, in words: an entry that starts after every entry so far is
// appended, one that starts before every entry goes in front, and any other
// goes in front of the first entry after the chain's first that starts at or
// after it. Entries of one start line therefore gather in one group: a new
// member goes to the group's front, except in the front group, whose first
// member keeps its place (the new one goes second). A group stops being the
// front group once a smaller line arrives, and never becomes it again, so
// its final order is: the members added while it was not the front (newest
// first), its first member, then the members added while it was the front
// (newest first). Computed from one sort, without a container per line.
std::vector<const Component*> order_by_start_line(std::span<const Component> group) {
  struct Arrival {
    const Component* component;
    bool front;  // no smaller start line had arrived before it
  };
  std::vector<Arrival> arrivals;
  arrivals.reserve(group.size());
  uint32_t smallest = UINT32_MAX;
  for (const Component& c : group) {
    smallest = std::min(smallest, c.start_line);
    arrivals.push_back({&c, smallest == c.start_line});
  }
  std::stable_sort(arrivals.begin(), arrivals.end(), [](const Arrival& a, const Arrival& b) {
    return a.component->start_line < b.component->start_line;
  });
  std::vector<const Component*> chain;
  chain.reserve(group.size());
  for (size_t first = 0; first < arrivals.size();) {
    size_t end = first + 1;
    while (end < arrivals.size() &&
           arrivals[end].component->start_line == arrivals[first].component->start_line)
      ++end;
    size_t fronts = first + 1;  // the later members added while the group was the front
    while (fronts < end && arrivals[fronts].front) ++fronts;
    for (size_t i = end; i > fronts; --i) chain.push_back(arrivals[i - 1].component);
    chain.push_back(arrivals[first].component);
    for (size_t i = fronts; i > first + 1; --i) chain.push_back(arrivals[i - 1].component);
    first = end;
  }
  return chain;
}

RoutineStart routine_start_at(const std::vector<const Component*>& by_start, uint32_t line) {
  RoutineStart out;
  auto at = std::lower_bound(by_start.begin(), by_start.end(), line,
                             [](const Component* c, uint32_t l) { return c->start_line < l; });
  if (at == by_start.end() || (*at)->start_line != line) return out;
  out.is_start = true;
  if (at + 1 != by_start.end()) {
    uint32_t next = (*(at + 1))->start_line;
    out.end_line = next == line ? next : next - 1;
  }
  return out;
}

}  // namespace vorel
