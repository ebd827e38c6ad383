// vorelcov: code-coverage reporter for profile-guided-optimisation builds.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "base/diag.h"
#include "driver/run.h"
#include "platform/arguments.h"
#include "platform/output_file.h"

namespace {

int guarded_main(int argc, char** argv) {
  try {
    return vorel::run_main(argc, argv);
  } catch (const vorel::FatalExit& e) {
    vorel::output_abandon();  // a stopped run leaves the earlier outputs as they were
    return e.status;
  } catch (const std::bad_alloc&) {
    vorel::output_abandon();
    std::fputs("FATAL ERROR: Out of memory.\n", stderr);
    return 2;
  }
}

}  // namespace

#ifdef _WIN32
// Windows hands the command line in UTF-16; the program works in UTF-8.
int wmain(int argc, wchar_t** wargv) {
  std::vector<std::string> words = vorel::utf8_arguments(argc, wargv);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  return guarded_main(argc, argv.data());
}
#else
int main(int argc, char** argv) { return guarded_main(argc, argv); }
#endif
