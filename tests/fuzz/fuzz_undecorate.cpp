// libFuzzer target for the symbol undecorator: the input is a routine name,
// undecorated in both forms (name only and -demang). nullopt is a fine
// result; crashes (the demangler's recursion running out of stack), hangs
// and leaks are not. The corpus holds deep names of both schemes, long
// enough to be undecorated on the helper thread.
#include <cstdint>
#include <string_view>

#include "platform/undecorate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view name(reinterpret_cast<const char*>(data), size);
  (void)vorel::undecorate(name, false);
  (void)vorel::undecorate(name, true);
  return 0;
}
