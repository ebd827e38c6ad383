// libFuzzer target for the static profile reader: the input is written to a
// file, which is opened, read routine by routine (call sites included) and
// closed. An orderly stop (FatalExit, the corrupt-file errors) is a fine
// result; crashes, hangs, leaks and huge allocations are not.
//
// Run with the seed corpus, e.g.:
//   fuzz_spi -max_len=4096 -rss_limit_mb=2048 -timeout=10 -close_fd_mask=2 \
//            corpus-work tests/fuzz/corpus/spi
#include <cstdint>
#include <string>

#include "base/diag.h"
#include "platform/undecorate.h"
#include "profile/spi.h"
#include "fuzz_input.h"

namespace {

// Routine and callee names go through the undecorator, as the report does.
void read_everything(vorel::SpiFile* f) {
  vorel::SpiRoutineInfo info;
  vorel::SpiCallSite call;
  while (vorel::spi_next_routine(f, &info) == 1) {
    (void)vorel::undecorate(info.routine_name, true);
    while (vorel::spi_next_call_site(f, &call) == 1) (void)vorel::undecorate(call.callee, false);
  }
  (void)vorel::spi_line_count(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = fuzz_input::write(data, size);

  vorel::SpiFile* f = nullptr;
  try {
    f = vorel::spi_open(path.c_str(), "/r");
    if (f) read_everything(f);
  } catch (const vorel::FatalExit&) {
    // The run would end here; the handle stays whole and is closed below.
  }
  vorel::spi_close(f);
  return 0;
}
