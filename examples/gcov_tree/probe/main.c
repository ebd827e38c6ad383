#include <stdio.h>

#include "shape.h"

int main(void) {
  printf("%d %s\n", rect_area(-1, 3), shape_name(7));
  return 0;
}
