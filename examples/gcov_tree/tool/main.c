#include <stdio.h>

#include "shape.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    printf("%s\n", argv[i]);
  printf("%d\n", debug_only() + debug_dump(argc)); /* LCOV_EXCL_LINE */
  return 0;
}
