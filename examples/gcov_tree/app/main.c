#include <stdio.h>

#include "shape.h"

int main(int argc, char** argv) {
  (void)argv;
  printf("%s %d\n", shape_name(argc - 1), square_area(argc));
  if (argc > 2) /* GCOVR_EXCL_BR_LINE: both ways are run */
    printf("%d\n", rect_area(argc, 2));
  return 0;
}
