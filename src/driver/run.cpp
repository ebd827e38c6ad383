#include "driver/run.h"

#include "driver/diag.h"

namespace vorel {

int run_main(int argc, char** argv) {
  (void)argc;
  set_program_name(argv[0]);
  print_err("vorelcov: not implemented yet\n");
  fatal_exit(1);
}

}  // namespace vorel
