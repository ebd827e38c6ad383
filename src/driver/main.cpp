// vorelcov: code-coverage reporter for profile-guided-optimisation builds.
#include <cstdio>
#include <new>

#include "base/diag.h"
#include "driver/run.h"
#include "platform/output_file.h"

int main(int argc, char** argv) {
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
