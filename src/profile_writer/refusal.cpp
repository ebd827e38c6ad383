// What the writer refuses: descriptions that a reader would reject, or read
// back as something else.
#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "profile_writer/program.h"

namespace profile_writer {

namespace {

constexpr uint64_t kNeverExecutedMark = ~static_cast<uint64_t>(0);  // the readers' "never ran"
constexpr size_t kHeaderStringMax = 511;                            // 512-byte field, zero-ended

bool has_any(std::string_view s, std::string_view chars) { return s.find_first_of(chars) != s.npos; }

// Every name is stored as a line (text layouts) or a zero-ended string.
std::string bad_name(std::string_view what, const std::string& name, bool old_layout) {
  if (has_any(name, std::string_view("\r\n\0", 3))) return std::string(what) + " '" + name + "' holds a line end or zero byte";
  if (old_layout && (name.empty() || has_any(name, " \t")))
    return std::string(what) + " '" + name + "' is empty or holds white space (old layouts separate fields by blanks)";
  return "";
}

template <class Check>
std::string each_routine(const Program& p, Check check) {
  for (const Module& m : p.modules)
    for (const SourceFile& f : m.files)
      for (const Routine& r : f.routines) {
        std::string why = check(m, f, r);
        if (!why.empty()) return why;
      }
  return "";
}

std::string first_of(std::initializer_list<std::string> reasons) {
  for (const std::string& r : reasons)
    if (!r.empty()) return r;
  return "";
}

}  // namespace

std::string spi_refusal(const Program& program, SpiLayout layout) {
  const bool old_layout = layout <= SpiLayout::kOldV4;
  const bool split_names = layout == SpiLayout::kOldV3 || layout == SpiLayout::kOldV4;
  uint64_t records = 0;
  std::string why = each_routine(program, [&](const Module& m, const SourceFile& f, const Routine& r) {
    if (!r.in_spi) return std::string();
    std::string names = first_of({bad_name("module", split_names ? m.name : m.root + m.name, old_layout),
                                  bad_name("source file", split_names ? f.name : f.root + f.name, old_layout),
                                  bad_name("routine", r.name, old_layout)});
    if (!names.empty()) return names;
    if (split_names && (has_any(m.root, " \t\r\n") || has_any(f.root, " \t\r\n")))
      return "root of '" + f.name + "' holds white space";
    for (const CallSite& c : r.calls)
      if (std::string w = bad_name("callee", c.callee, old_layout); !w.empty()) return w;
    for (const DataRef& d : r.data_refs)
      if (std::string w = bad_name("data name", d.name, old_layout); !w.empty()) return w;
    if (r.blocks.size() > UINT32_MAX) return "routine '" + r.name + "' has too many blocks";
    records += 2 + r.calls.size() + r.data_refs.size();
    for (const Block& b : r.blocks) {
      records += 1 + (b.lines.size() + 6) / 7;
      for (uint32_t line : b.lines)
        if (line == 0) return "routine '" + r.name + "' maps a block to line 0";
    }
    return std::string();
  });
  if (!why.empty()) return why;
  // Versions 6 and 7 store the mapping-section offset in 32 bits.
  if ((layout == SpiLayout::kTextV6 || layout == SpiLayout::kTextV7) && records * 67 > UINT32_MAX)
    return "too large for a 32-bit layout";
  return "";
}

std::string dpi_refusal(const Program& program, DpiLayout layout) {
  if (program.header_string.size() > kHeaderStringMax || has_any(program.header_string, std::string_view("\0", 1)))
    return "header string longer than 511 bytes or holding a zero byte";
  if (program.runs == 0) return "zero runs";
  return each_routine(program, [&](const Module&, const SourceFile& f, const Routine& r) {
    if (!r.in_dpi) return std::string();
    for (const std::string* s : {&f.root, &f.name, &r.name, &r.vtable_name})
      if (has_any(*s, std::string_view("\0", 1))) return "a name of '" + r.name + "' holds a zero byte";
    for (const EntryPoint& e : r.entries)
      if (has_any(e.name, std::string_view("\0", 1))) return "an entry name of '" + r.name + "' holds a zero byte";
    if (r.position_mode < 0 || r.position_mode > 3) return "routine '" + r.name + "': unknown position mode";
    for (const Block& b : r.blocks) {
      if (b.count == kNeverExecutedMark)
        return "routine '" + r.name + "': block count " + std::to_string(b.count) + " reads back as never executed";
      if (r.position_mode == 2 && (b.line >= (1u << 22) || b.end_line >= (1u << 22) || b.col >= 1024 ||
                                   b.end_col >= 1024))
        return "routine '" + r.name + "': position does not fit the packed layout";
      if (r.position_mode == 3 && b.col > 0xFFFF) return "routine '" + r.name + "': column above 65535";
    }
    if (layout == DpiLayout::kFixed && (r.extended || r.d1f0 || !r.flow_graph.empty()))
      return "routine '" + r.name + "': the fixed layout cannot store extended values or extra segments";
    return std::string();
  });
}

}  // namespace profile_writer
