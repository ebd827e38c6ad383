// vorelcov: code-coverage reporter for profile-guided-optimisation builds.
#include <cstdio>
#include <new>

#include "base/diag.h"
#include "driver/run.h"

int main(int argc, char** argv) {
  try {
    return vorel::run_main(argc, argv);
  } catch (const vorel::FatalExit& e) {
    return e.status;
  } catch (const std::bad_alloc&) {
    std::fputs("FATAL ERROR: Out of memory.\n", stderr);
    return 2;
  }
}
