// libFuzzer target for the dynamic profile reader: open the input as a
// dynamic profile file, load every indexed routine fully, close it. Orderly
// stops (corrupt-file messages, assertions) are expected outcomes; crashes,
// hangs and huge allocations are not.
#include <cstdint>
#include <string>

#include "base/diag.h"
#include "platform/undecorate.h"
#include "profile/dpi.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::DpiOpenOptions options;
  options.src_root = "/ROOT/";
  try {
    // The owner closes the file also when a fatal stop unwinds past it.
    vorel::DpiFilePtr f(vorel::dpi_open(fuzz_input::write(data, size).c_str(), options));
    if (!f) return 0;
    for (const vorel::DpiIndexEntry& e : f->index) {
      std::unique_ptr<vorel::DpiRoutine> r = vorel::dpi_load_routine(f.get(), e);
      (void)vorel::undecorate(r->func_name, true);  // as the call graph does
      if (r->block_cnt > 0) vorel::dpi_block_position_known(*r, 0);
      vorel::dpi_resolve_routine_address(f.get(), r->address);
    }
    vorel::dpi_match_by_block_count(f.get(), "a.c", "f", 1);
  } catch (const vorel::FatalExit&) {
  }
  return 0;
}
